#!/usr/bin/python3
"""Writes hyper.txt: hyperbolic functions and their inverses, asin and acos, and complex absolute
values and roots, rounded half up to P digits from mpmath at 2P + 60 digits.

Run: /usr/bin/python3 tests/data/gen_hyper.py > tests/data/hyper.txt
Lines:  fn P x = result            (real functions)
        abs P re im = result
        root P n k re im = re im
Numbers as  sign digits exponent, P digits, or 0.
"""
import random
from decimal import Decimal, Context, ROUND_HALF_UP
import mpmath

random.seed(4242)


def exact_p(x, p):
    return Context(prec=p, rounding=ROUND_HALF_UP).plus(Decimal(mpmath.nstr(x, p + 25, strip_zeros=False)))


def fmt(d, p):
    if d == 0:
        return "0"
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def rounded(v, p):
    if v == 0:
        return Decimal(0)
    s = mpmath.nstr(v, p + 30, strip_zeros=False, min_fixed=1, max_fixed=0)
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**17, Emin=-10**17).plus(Decimal(s))


def rnd(lo, hi, sign=True):
    v = mpmath.mpf(random.random()) * mpmath.mpf(10) ** random.randint(lo, hi)
    return -v if sign and random.random() < 0.5 else v


out = []
for p, count in [(1, 10), (2, 10), (5, 15), (16, 40), (20, 15), (38, 10), (50, 10), (100, 6),
                 (300, 3), (1000, 1)]:
    mpmath.mp.dps = 2 * p + 60
    m = mpmath.mpf
    cases = {
        "sinh": [rnd(-8, 2) for _ in range(count)] + [m("0.49"), m("0.5"), m("-0.51"), m("1e-30")],
        "cosh": [rnd(-8, 2) for _ in range(count)] + [m("0.5"), m("-3")],
        "tanh": [rnd(-8, 2) for _ in range(count)] + [m("0.099"), m("0.1"), m("-0.1"), m(40)],
        "asinh": [rnd(-8, 12) for _ in range(count)] + [m("0.099"), m("0.1"), m("1e30")],
        "acosh": [1 + rnd(-12, 3, False) for _ in range(count)] + [m("1.0000001"), m("1.1"), m("1.09")],
        "atanh": [rnd(-8, -1) for _ in range(count)] + [m("0.999999"), m("-0.00999"), m("0.01"),
                                                        m("0.18"), m("0.2"), m("-0.5")],
        "asin": [rnd(-8, -1) for _ in range(count)] + [m("0.999999"), m("-0.99999999"), m("0.5")],
        "acos": [rnd(-8, -1) for _ in range(count)] + [m("0.999999"), m("-0.99999999"), m("0.5")],
    }
    for fn, args in cases.items():
        f = getattr(mpmath, fn)
        for a in args:
            x = exact_p(a, p)
            if x == 0 or (fn in ("asin", "acos", "atanh") and abs(x) >= 1) or (fn == "acosh" and x <= 1):
                continue
            out.append(f"{fn} {p} {fmt(x, p)} = {fmt(rounded(f(mpmath.mpf(str(x))), p), p)}")
    for _ in range(count):
        re, im = exact_p(rnd(-5, 5), p), exact_p(rnd(-5, 5), p)
        if re == 0 or im == 0:
            continue
        v = mpmath.sqrt(mpmath.mpf(str(re)) ** 2 + mpmath.mpf(str(im)) ** 2)
        out.append(f"abs {p} {fmt(re, p)} {fmt(im, p)} = {fmt(rounded(v, p), p)}")
    points = [(rnd(-3, 3), rnd(-3, 3)) for _ in range(count)]
    points += [(m(-1), m(0)), (m(8), m(0)), (m(-8), m(0)), (m(0), m(2)), (m(0), m(-2)),
               (m(-1), m("1e-20")), (m(-1), m("-1e-20")), (m(3), m(3)), (m(-3), m(-3))]
    for re0, im0 in points:
        re, im = exact_p(re0, p) if re0 else Decimal(0), exact_p(im0, p) if im0 else Decimal(0)
        z = mpmath.mpc(mpmath.mpf(str(re)), mpmath.mpf(str(im)))
        for n in (2, 3, 5, 7):
            for k in range(n):
                w = mpmath.root(z, n, k)
                out.append(f"root {p} {n} {k} {fmt(re, p)} {fmt(im, p)} = "
                           f"{fmt(rounded(w.real, p), p)} {fmt(rounded(w.imag, p), p)}")

print("# made by tests/data/gen_hyper.py with mpmath; do not edit")
print("\n".join(out))
