#!/usr/bin/python3
"""Writes trig.txt: sin, cos, tan and atan rounded half up to P digits, computed with mpmath
at 2P + 100 digits. Arguments are exact P-digit decimals: random ones over the domain, values
next to multiples of pi/4 and pi/2 (k up to 10^15), tiny and huge ones.

Run: /usr/bin/python3 tests/data/gen_trig.py > tests/data/trig.txt
Line: fn P x = result   (numbers as  sign digits exponent, P digits)
"""
import random
import sys
from decimal import Decimal, Context, ROUND_HALF_UP
import mpmath

sys.set_int_max_str_digits(100000)
random.seed(5150)


def exact_p(x, p):
    """x rounded to p significant digits, as a Decimal (the argument we feed both sides)."""
    return Context(prec=p, rounding=ROUND_HALF_UP).plus(Decimal(mpmath.nstr(x, p + 25, strip_zeros=False)))


def fmt(d, p):
    if d == 0:
        return "0"
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    assert len(ds) <= p
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def rounded(v, p):
    s = mpmath.nstr(v, p + 30, strip_zeros=False, min_fixed=1, max_fixed=0)
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**17, Emin=-10**17).plus(Decimal(s))


PREC = [(1, 30), (2, 30), (5, 30), (16, 60), (19, 25), (20, 25), (38, 20), (50, 20), (69, 15),
        (70, 15), (100, 12), (300, 6), (1000, 3), (2000, 1)]

out = []
for p, count in PREC:
    mpmath.mp.dps = 2 * p + 100  # arguments next to zeros of sin and cos cancel up to P + 20 digits
    args = []
    for _ in range(count):
        e = random.randint(-12, 19)
        args.append(mpmath.mpf(random.random()) * mpmath.mpf(10) ** e * random.choice([1, -1]))
    for k in [1, 2, 3, 4, 7, 8, 355, 10**5 + 3, 10**9 + 7, 10**12, 10**15 - 1, 710, 113]:
        if len(str(k)) + 1 < p + 2:
            args.append(k * mpmath.pi / 2)
            args.append(k * mpmath.pi / 4)
    args += [mpmath.mpf("1e-30"), mpmath.mpf("0.5"), mpmath.mpf(1), mpmath.mpf("9.99e19"),
             mpmath.mpf(10) ** 19 * 3]
    atan_args = [mpmath.mpf(random.random()) * mpmath.mpf(10) ** random.randint(-10, 25)
                 * random.choice([1, -1]) for _ in range(count)]
    atan_args += [mpmath.mpf("0.0237960416"), mpmath.mpf("0.0714961047"), mpmath.mpf("0.976216557"),
                  mpmath.mpf(1), mpmath.mpf("1.0000001"), mpmath.mpf("0.00142449853"),
                  mpmath.mpf("1e-40"), mpmath.mpf("1e40"), mpmath.mpf("0.1")]
    for a in args:
        x = exact_p(a, p)
        if x == 0 or x.adjusted() >= 20:
            continue
        xm = mpmath.mpf(str(x))
        for name, f in (("sin", mpmath.sin), ("cos", mpmath.cos), ("tan", mpmath.tan)):
            out.append(f"{name} {p} {fmt(x, p)} = {fmt(rounded(f(xm), p), p)}")
    for a in atan_args:
        x = exact_p(a, p)
        if x == 0:
            continue
        out.append(f"atan {p} {fmt(x, p)} = {fmt(rounded(mpmath.atan(mpmath.mpf(str(x))), p), p)}")

print("# made by tests/data/gen_trig.py with mpmath; do not edit")
print("\n".join(out))
