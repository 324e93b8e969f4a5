#!/usr/bin/env python3
"""Reference values of the equations window tests: roots rounded half up to 10 significant
digits with the decimal module, written as "name value" lines to equations_window.txt."""
from decimal import Decimal, getcontext, ROUND_HALF_UP
from fractions import Fraction
import os

getcontext().prec = 60


def sig10(x: Decimal) -> str:
    if x == 0:
        return "0"
    q = Decimal(1).scaleb(x.adjusted() - 9)
    return str(x.quantize(q, rounding=ROUND_HALF_UP))


rows = []
# 2x + 1 = 0
rows.append(("linear_root", str(Decimal((Fraction(-1, 2)).numerator) / Decimal(2))))
# x^2 - 2 = 0 and x^3 - x^2 - 2x + 2 = (x - 1)(x^2 - 2) = 0
rows.append(("sqrt2", sig10(Decimal(2).sqrt())))
# i*x^2 + 1 = 0: x^2 = i, x = ±(sqrt(1/2) + sqrt(1/2) i)
rows.append(("sqrt_half", sig10(Decimal("0.5").sqrt())))
# (x - 1)^2 (x + 3) = x^3 + x^2 - 5x + 3: a double root 1 and a single root -3
rows.append(("double_root", "1"))
rows.append(("single_root", "-3"))

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "equations_window.txt")
with open(out, "w") as f:
    f.write("# made by gen_equations_window.py\n")
    for name, value in rows:
        f.write(f"{name} {value}\n")
