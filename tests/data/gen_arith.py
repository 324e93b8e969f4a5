#!/usr/bin/python3
"""Writes arith.txt: reference results of the decimal core's basic operations, computed with
Python's decimal module (ROUND_HALF_UP on the magnitude) and exact integers.

Run: /usr/bin/python3 tests/data/gen_arith.py > tests/data/arith.txt

Line format (numbers as  sign digits exponent, with exactly P digits, or 0 / -0 / inf / -inf /
NaN):  op P a b [m] = result [remainder]
  add, sub, mul, div: rounded to P digits, half up
  divmod: exact remainder and the quotient truncated to P digits
  pow: a^m rounded to P digits (b unused, written as 0)
  round: a rounded to m significant digits (b unused)
"""
import random
import sys

sys.set_int_max_str_digits(100000)
from decimal import Decimal, Context, ROUND_HALF_UP, ROUND_DOWN, localcontext

random.seed(20261207)
BIG_E = 999999999999999999


def ctx(p, rounding=ROUND_HALF_UP):
    return Context(prec=p, rounding=rounding, Emax=BIG_E, Emin=-BIG_E, traps=[])


def fmt(x, p):
    """sign digits exponent with exactly p digits (x has at most p significant digits)."""
    if x.is_nan():
        return "NaN"
    if x.is_infinite():
        return "-inf" if x < 0 else "inf"
    if x == 0:
        return "-0" if x.is_signed() else "0"
    sign, digits, exp = x.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    lead = exp + len("".join(map(str, digits))) - 1
    # leading zeros were stripped: recompute the exponent of the first significant digit
    lead = x.adjusted()
    assert len(ds) <= p, (x, p)
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {lead}"


def rand_num(p, e_lo=-30, e_hi=30, pattern=None):
    kind = pattern if pattern is not None else random.choice(
        ["rand", "rand", "rand", "nines", "pow10", "short", "half", "ones"])
    if kind == "rand":
        ds = str(random.randint(1, 9)) + "".join(random.choice("0123456789") for _ in range(p - 1))
    elif kind == "nines":
        ds = "9" * p
    elif kind == "pow10":
        ds = "1" + "0" * (p - 1)
    elif kind == "short":
        ds = str(random.randint(1, 999))[:p]
    elif kind == "half":
        ds = (str(random.randint(1, 9)) + "5" + "0" * p)[:p]
    else:
        ds = ("1" * random.randint(1, p))
    sign = random.choice([0, 1])
    e = random.randint(e_lo, e_hi)
    d = Decimal(ds)
    x = d.scaleb(e - d.adjusted())
    return -x if sign else x


def trunc_p(x, p):
    with localcontext(ctx(p, ROUND_DOWN)):
        return +x


PRECISIONS = [(1, 60), (2, 60), (3, 40), (5, 40), (16, 80), (18, 40), (19, 60), (20, 60),
              (21, 40), (37, 30), (38, 30), (39, 30), (40, 30), (57, 30), (100, 30), (250, 15),
              (1000, 8), (2000, 4), (10005, 2)]

out = []
for p, count in PRECISIONS:
    c = ctx(p)
    for i in range(count):
        # addition and subtraction over exponent gaps from 0 to beyond the precision
        a = rand_num(p)
        gap = random.choice([0, 0, 1, 1, 2, random.randint(0, p + 3), p, p + 1, p + 19,
                             p + 20, p + 40, random.randint(0, 3 * p + 60)])
        b = rand_num(p, a.adjusted() - gap, a.adjusted() - gap)
        if random.random() < 0.5:
            a, b = b, a
        if random.random() < 0.2:
            b = -a.next_toward(0, c) if random.random() < 0.5 else -a  # heavy cancellation
            b = trunc_p(b, p)
        out.append(f"add {p} {fmt(a, p)} {fmt(b, p)} = {fmt(c.add(a, b), p)}")
        out.append(f"sub {p} {fmt(a, p)} {fmt(b, p)} = {fmt(c.subtract(a, b), p)}")
        a, b = rand_num(p), rand_num(p)
        out.append(f"mul {p} {fmt(a, p)} {fmt(b, p)} = {fmt(c.multiply(a, b), p)}")
        a, b = rand_num(p), rand_num(p)
        out.append(f"div {p} {fmt(a, p)} {fmt(b, p)} = {fmt(c.divide(a, b), p)}")
        # exact ties: a P-digit odd multiple of 5 times a digit, and odd values halved
        a = rand_num(p, pattern="rand")
        a = trunc_p(a, p)
        ds = str(int(a.scaleb(p - 1 - a.adjusted()).copy_abs()))[:-1] + "5"
        a = Decimal(ds).scaleb(a.adjusted() - (len(ds) - 1)).copy_sign(a)
        b = Decimal(random.choice([3, 7, 9, 11, 13, 99, 2, 4, 8, 16, 25, 125, 625]))
        b = b if len(str(b)) <= p else Decimal(3)
        out.append(f"mul {p} {fmt(a, p)} {fmt(b, p)} = {fmt(c.multiply(a, b), p)}")
        if p < 19 or random.random() < 0.5:
            d = Decimal(random.choice([2, 4, 8, 16, 32, 5, 25, 125, 40, 80]))
            d = d if len(str(d)) <= p else Decimal(2)
        else:
            d = rand_num(p)
        out.append(f"div {p} {fmt(a, p)} {fmt(d, p)} = {fmt(c.divide(a, d), p)}")
        # integer division: quotient digits up to a few beyond P
        a = rand_num(p, 0, p + 25)
        b = rand_num(p, -5, max(0, a.adjusted()))
        big = ctx(10 * p + 200)
        q = big.divide_int(a, b)
        r = big.subtract(a, big.multiply(q, b))
        qt = trunc_p(q, p)
        if q == 0:
            qt = Decimal(0).copy_sign(Decimal(-1) if (a < 0) != (b < 0) else Decimal(1))
        out.append(f"divmod {p} {fmt(a, p)} {fmt(b, p)} = {fmt(qt, p)} {fmt(r, p)}")
        # integer powers
        a = rand_num(p, -3, 3)
        m = random.choice([2, 3, 5, 7, -1, -2, -3, 10, 17, 64, -50, 99, 100, 123, 1000,
                           random.randint(-2000, 2000)])
        if m == 0:
            m = 4
        hi = ctx(p + 40, ROUND_DOWN)
        exact = hi.power(a, m)
        out.append(f"pow {p} {fmt(a, p)} 0 {m} = {fmt(c.plus(exact), p)}")
        # rounding to fewer digits
        if p > 1:
            a = rand_num(p)
            d = random.randint(1, p - 1)
            r = ctx(d).plus(a)
            out.append(f"round {p} {fmt(a, p)} 0 {d} = {fmt(Context(prec=p).plus(r), p)}")

# integer division with quotients of far more digits than P: the remainder from modular
# powers of ten, the quotient's leading P digits from a long enough truncated division
for p in [1, 2, 16, 19, 20, 38, 100, 400]:
    for ea in [200, 10**3, 10**6 + 7, 10**12 + 3, 10**15, 10**18 + 11]:
        A = random.randint(10 ** (p - 1), 10 ** p - 1)
        B = random.randint(10 ** (p - 1), 10 ** p - 1)
        eb = random.randint(-5, 5)
        neg = random.random() < 0.3
        r_int = (A * pow(10, ea - eb, B)) % B
        lead = (A * 10 ** (p + 2)) // B
        q_exp = ea - eb + (0 if A >= B else -1)
        lead_digits = str(lead)[:min(p, q_exp + 1)].ljust(p, "0")  # an integer: zeros after it
        a_txt = f"{'-' if neg else '+'} {A} {ea}"
        b_txt = f"+ {B} {eb}"
        q_txt = f"{'-' if neg else '+'} {lead_digits} {q_exp}"
        if r_int == 0:
            r_txt = "-0" if neg else "0"
        else:
            rs = str(r_int)
            r_txt = f"{'-' if neg else '+'} {rs.ljust(p, '0')} {eb - p + len(rs)}"
        out.append(f"divmod {p} {a_txt} {b_txt} = {q_txt} {r_txt}")

print("# made by tests/data/gen_arith.py with Python's decimal module; do not edit")
print("\n".join(out))
