#!/usr/bin/env python3
"""Reference coefficients of the polynomial window tests, computed exactly with fractions and
written as "name c_d,...,c_0" lines (highest coefficient first) to polynomials_window.txt."""
from fractions import Fraction
import os


def mul(a, b):  # lowest coefficient first
    r = [Fraction(0)] * (len(a) + len(b) - 1)
    for i, x in enumerate(a):
        for j, y in enumerate(b):
            r[i + j] += x * y
    return r


def text(p):
    while len(p) > 1 and p[-1] == 0:
        p = p[:-1]
    return ",".join(str(c) for c in reversed(p))


rows = []
# (x + 1)^3
p = [Fraction(1)]
for _ in range(3):
    p = mul(p, [Fraction(1), Fraction(1)])
rows.append(("cube", text(p)))
# (x^2 - 1) / (x - 1) = x + 1, remainder 0
rows.append(("quotient", text([Fraction(1), Fraction(1)])))
# (1/2 x^2 + 1/3)(x - 2/3) in rationals
rows.append(("rational_product", text(mul([Fraction(1, 3), Fraction(0), Fraction(1, 2)],
                                          [Fraction(-2, 3), Fraction(1)]))))
# (x + 1)^2 * (x - 1)^2 = x^4 - 2x^2 + 1: the product moved into P0 and squared again
sq = mul(mul([Fraction(1), Fraction(1)], [Fraction(1), Fraction(1)]),
         mul([Fraction(-1), Fraction(1)], [Fraction(-1), Fraction(1)]))
rows.append(("product4", text(sq)))
rows.append(("product4_squared", text(mul(sq, sq))))

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "polynomials_window.txt")
with open(out, "w") as f:
    f.write("# made by gen_polynomials_window.py\n")
    for name, value in rows:
        f.write(f"{name} {value}\n")
