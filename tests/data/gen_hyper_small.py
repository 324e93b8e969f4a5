#!/usr/bin/python3
"""Writes hyper_small.txt: tanh, asinh and atanh (and sinh, cosh) of small arguments,
1e-6 < |x| < 0.1, with random full-width digits at 1,000, 2,000, 5,000 and 10,005 digits,
plus fixed short arguments; mpmath at 2P + 60 digits, rounded half up to P digits.

Run: /usr/bin/python3 tests/data/gen_hyper_small.py > tests/data/hyper_small.txt
Lines:  fn P x = result     (numbers as  sign digits exponent, P digits)
"""
import random
import sys
from decimal import Decimal, Context, ROUND_HALF_UP
import mpmath

random.seed(2626)
sys.set_int_max_str_digits(0)


def fmt(d, p):
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def rounded(v, p):
    s = mpmath.nstr(v, p + 30, strip_zeros=False, min_fixed=1, max_fixed=0)
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**17, Emin=-10**17).plus(Decimal(s))


def full_width(p):
    """A random P-digit number with 1e-6 < |x| < 0.1."""
    e = random.randint(-6, -2)
    digits = str(random.randint(1, 9)) + "".join(random.choice("0123456789") for _ in range(p - 1))
    x = Decimal(f"{'-' if random.random() < 0.5 else ''}{digits[0]}.{digits[1:]}E{e}")
    return x


FIXED = {"tanh": ["0.089", "-0.0123", "0.0000035"], "asinh": ["0.06", "-0.00071"],
         "atanh": ["0.0096", "-0.054"], "sinh": ["0.077"], "cosh": ["0.031"]}
out = []
for p, count in [(1000, 12), (2000, 8), (5000, 3), (10005, 2)]:
    mpmath.mp.dps = 2 * p + 60
    for fn in ("tanh", "asinh", "atanh", "sinh", "cosh"):
        f = getattr(mpmath, fn)
        n = count if fn in ("tanh", "asinh", "atanh") else max(1, count // 3)
        args = [full_width(p) for _ in range(n)] + [Decimal(s) for s in FIXED[fn]]
        for x in args:
            v = rounded(f(mpmath.mpf(str(x))), p)
            out.append(f"{fn} {p} {fmt(x, p)} = {fmt(v, p)}")
print("\n".join(out))
