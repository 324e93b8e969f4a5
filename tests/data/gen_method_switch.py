#!/usr/bin/python3
"""Writes method_switch.txt: the elementary functions at the precisions where their kernels
change method (the plain series below, halving with a rectangular-splitting series or a
Newton step above) and at 1,000 and 2,500 digits, computed with mpmath at P + 60 digits and
rounded half up to P digits.

Run: /usr/bin/python3 tests/data/gen_method_switch.py > tests/data/method_switch.txt
Line: fn P x [y] = result   (numbers as  sign digits exponent, the result with P digits)
"""
import random
import sys
from decimal import Decimal, Context, ROUND_DOWN

import mpmath
from mpmath import mpf

sys.set_int_max_str_digits(100000)
random.seed(2417)

# Around each switch, in steps that pass over the few digits the kernels add internally.
PRECISIONS = (list(range(80, 121, 5)) + list(range(122, 163, 5)) + list(range(236, 321, 6)) +
              [1000, 2500])


def operand(x, p):
    """x truncated to p significant digits: an exact decimal both sides read."""
    s = mpmath.nstr(x, p + 25, strip_zeros=False)
    return Context(prec=p, rounding=ROUND_DOWN).plus(Decimal(s))


def fmt(d):
    if d == 0:
        return "0"
    sign, digits, _ = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    return f"{'-' if sign else '+'} {ds} {d.adjusted()}"


def result(v, p):
    """v (good to p + 60 digits) rounded half up on the magnitude to p digits."""
    sign = "-" if v < 0 else "+"
    v = abs(v)
    extra = 40
    e = int(mpmath.floor(mpmath.log10(v)))
    n = int(mpmath.floor(v * mpf(10) ** (p - 1 + extra - e)))
    if n >= 10 ** (p + extra):
        e, n = e + 1, n // 10
    if n < 10 ** (p + extra - 1):
        e, n = e - 1, int(mpmath.floor(v * mpf(10) ** (p + extra - e)))
    q, r = divmod(n, 10 ** extra)
    # Refuse values too close to a rounding boundary for the extra digits to settle.
    assert abs(r - 5 * 10 ** (extra - 1)) > 10 ** 10, (v, p)
    if r >= 5 * 10 ** (extra - 1):
        q += 1
    if q == 10 ** p:
        q, e = 10 ** (p - 1), e + 1
    return f"{sign} {q} {e}"


def rnd(lo, hi):
    return mpf(lo) + (mpf(hi) - mpf(lo)) * mpmath.rand()


def cases(p):
    """(fn, mpmath function, argument makers) at precision p."""
    tiny_exp = -(p // 25)  # just above the exponents where the plain series stays
    return [
        ("exp", mpmath.exp, [lambda: rnd(-2.3, 2.3), lambda: rnd(-0.005, 0.005),
                             lambda: mpf(10) ** tiny_exp * rnd(1, 9), lambda: rnd(-40, 40)]),
        ("ln", mpmath.log, [lambda: rnd(0.01, 100), lambda: 1 + rnd(-0.004, 0.004),
                            lambda: 1 + mpf(10) ** (-(p // 45)) * rnd(1, 9),
                            lambda: mpf(10) ** random.randint(-300, 300) * rnd(1, 10)]),
        ("sin", mpmath.sin, [lambda: rnd(-3.2, 3.2), lambda: mpf(10) ** tiny_exp * rnd(1, 9),
                             lambda: rnd(0.7, 0.8)]),
        ("cos", mpmath.cos, [lambda: rnd(-3.2, 3.2), lambda: rnd(-0.01, 0.01)]),
        ("atan", mpmath.atan, [lambda: rnd(-1, 1), lambda: rnd(1, 50),
                               lambda: mpf(10) ** random.randint(-(p // 21), p // 21) * rnd(1, 10)]),
        ("asin", mpmath.asin, [lambda: rnd(-0.999, 0.999), lambda: rnd(0.5, 1)]),
        ("sinh", mpmath.sinh, [lambda: rnd(-0.5, 0.5)]),
        ("cosh", mpmath.cosh, [lambda: rnd(-0.5, 0.5)]),
        ("atanh", mpmath.atanh, [lambda: rnd(-0.0099, 0.0099), lambda: rnd(-0.9, 0.9)]),
        ("asinh", mpmath.asinh, [lambda: rnd(-0.3, 0.3), lambda: rnd(1, 5)]),
    ]


def main():
    mpmath.mp.dps = 60
    out = ["# made by tests/data/gen_method_switch.py with mpmath; do not edit"]
    for p in PRECISIONS:
        with mpmath.workdps(p + 80):
            for name, f, makers in cases(p):
                for make in makers:
                    x = operand(make(), p)
                    v = f(mpf(str(x)))
                    out.append(f"{name} {p} {fmt(x)} = {result(v, p)}")
            # The angle of a point in each half plane, and a power.
            for sx in (1, -1):
                x = operand(sx * rnd(0.1, 10), p)
                y = operand(rnd(-10, 10), p)
                v = mpmath.atan2(mpf(str(y)), mpf(str(x)))
                out.append(f"angle {p} {fmt(y)} {fmt(x)} = {result(v, p)}")
            x = operand(rnd(0.1, 10), p)
            y = operand(rnd(-10, 10), p)
            out.append(f"pow {p} {fmt(x)} {fmt(y)} = {result(mpf(str(x)) ** mpf(str(y)), p)}")
    print("\n".join(out))


main()
