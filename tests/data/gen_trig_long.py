#!/usr/bin/python3
"""Writes trig_long.txt: sin, cos and tan rounded half up to P digits, computed with mpmath at
2P + E + 200 digits (E the exponent of the argument), so the reference keeps every digit
whatever the reduction cancels. Two groups of exact P-digit arguments:
  near   k pi/2 + d at 6,000 and 10,005 digits, |d| from 10^-1000 to 10^-9000: the reduction
         cancels as many digits as d is small;
  huge   |x| from 10^20 to 10^10004, random or next to k pi/2 for a huge k.

Run: /usr/bin/python3 tests/data/gen_trig_long.py > tests/data/trig_long.txt
Line: fn P x = result   (numbers as  sign digits exponent, P digits)
"""
import random
import sys
from decimal import Decimal, Context, ROUND_HALF_UP

import mpmath

sys.set_int_max_str_digits(1000000)
random.seed(6021)


def exact_p(x, p):
    """x rounded to p significant digits, as a Decimal."""
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**9, Emin=-10**9).plus(
        Decimal(mpmath.nstr(x, p + 25, strip_zeros=False, min_fixed=1, max_fixed=0)))


def fmt(d, p):
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    assert 0 < len(ds) <= p
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def rounded(v, p):
    s = mpmath.nstr(v, p + 30, strip_zeros=False, min_fixed=1, max_fixed=0)
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**9, Emin=-10**9).plus(Decimal(s))


def random_mantissa():
    return mpmath.mpf(random.randint(10**17, 10**18 - 1)) / 10**17


out = []


def emit(p, x):
    mpmath.mp.dps = 2 * p + max(x.adjusted(), 0) + 200
    xm = mpmath.mpf(str(x))
    for name, f in (("sin", mpmath.sin), ("cos", mpmath.cos), ("tan", mpmath.tan)):
        out.append(f"{name} {p} {fmt(x, p)} = {fmt(rounded(f(xm), p), p)}")


NEAR = {6000: [(1, 1000), (2, 3000), (3, 5000), (10**6 + 1, 2000)],
        10005: [(2, 1000), (1, 3000), (4, 5000), (3, 7000), (2, 9000), (10**6 + 1, 6000)]}
for p, cases in NEAR.items():
    for k, dist in cases:
        mpmath.mp.dps = p + 100
        d = random_mantissa() * mpmath.mpf(10) ** -dist * random.choice([1, -1])
        emit(p, exact_p(k * mpmath.pi / 2 + d, p))

# Huge arguments: random ones, and the P-digit neighbours of k pi/2 for huge k, whose
# reduction cancels about P digits more.
for p, exps in ((16, [20, 25, 100, 1000, 5000, 10004]), (50, [21, 300, 9999]),
                (1000, [40, 2500, 10004]), (10005, [10000])):
    for e in exps:
        mpmath.mp.dps = p + 50
        emit(p, exact_p(random_mantissa() * mpmath.mpf(10) ** e * random.choice([1, -1]), p))
for p, e in ((16, 30), (100, 60), (100, 5000), (1000, 1200)):
    mpmath.mp.dps = 2 * p + e + 100
    k = random.randint(10**e, 10**(e + 1))
    emit(p, exact_p(k * mpmath.pi / 2, p))

print("# made by tests/data/gen_trig_long.py with mpmath; do not edit")
print("\n".join(out))
