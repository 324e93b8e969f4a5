#!/usr/bin/python3
"""Writes binomial.txt: ncr and npr of large integer arguments, rounded half up on the magnitude
to P digits from mpmath (the gamma function at P + 60 digits; exact integers where Python's
math module can build them quickly).

Run: /usr/bin/python3 tests/data/gen_binomial.py > tests/data/binomial.txt
Lines:  P formula result      (result as d.ddd...eN with P digits)
"""
import decimal
import math
import sys
from decimal import Decimal, Context, ROUND_HALF_UP
import mpmath

sys.set_int_max_str_digits(0)

CASES = [
    # (P, n, k, perm)
    (1000, 10**7, 5 * 10**6, False),
    (1000, 10**12, 5 * 10**11, False),
    (1000, 10**12, 10**7, True),
    (1000, 10**6, 3 * 10**5, False),
    (1000, 10**18, 10**6, False),
    (1000, 123456789, 4321, False),
    (1000, 2 * 10**5, 10**5, True),
    (2000, 10**9, 123456789, False),
    (2000, 987654321, 12345678, True),
    (200, 60000, 30000, False),
    (200, 10**17, 3 * 10**16, False),
]


def exact_value(n, k, perm):
    # Exact integers only where they are quick to build.
    if k <= 300000 and (perm or min(k, n - k) <= 300000) and n <= 10**6:
        return math.perm(n, k) if perm else math.comb(n, k)
    return None


def rounded(p, n, k, perm):
    ex = exact_value(n, k, perm)
    if ex is not None:
        d = Decimal(ex)
    else:
        mpmath.mp.dps = p + 60
        lg = mpmath.loggamma(n + 1) - mpmath.loggamma(n - k + 1)
        if not perm:
            lg -= mpmath.loggamma(k + 1)
        v = mpmath.exp(lg)
        d = Decimal(mpmath.nstr(v, p + 40, strip_zeros=False))
    d = Context(prec=p, rounding=ROUND_HALF_UP, Emax=decimal.MAX_EMAX, Emin=decimal.MIN_EMIN).plus(d)
    sign, digits, _ = d.as_tuple()
    ds = "".join(map(str, digits)).ljust(p, "0")
    return f"{ds[0]}.{ds[1:]}e{d.adjusted()}"


for p, n, k, perm in CASES:
    print(p, f"{'npr' if perm else 'ncr'}({n};{k})", rounded(p, n, k, perm))
