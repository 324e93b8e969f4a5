#!/usr/bin/python3
"""Writes rational.txt: rational arithmetic of random fractions against Python's fractions
module, at several limb counts N. A result whose numerator or denominator needs more than N
limbs is written as "overflow".

Run: /usr/bin/python3 tests/data/gen_rational.py > tests/data/rational.txt
Line: op N a b = result [remainder]    (fractions as p/q or p, with "-" for negative values)
  divmod: |q| = floor(|a| / |b|) with the sign of a*b, remainder a - q*b
"""
import random
import sys
from fractions import Fraction

sys.set_int_max_str_digits(100000)
random.seed(31337)


def text(f):
    if f.denominator == 1:
        return str(f.numerator)
    return f"{f.numerator}/{f.denominator}"


def fits(f, n):
    return f.numerator.bit_length() <= 64 * n and f.denominator.bit_length() <= 64 * n


def rnd(bits):
    num = random.getrandbits(random.randint(1, bits))
    den = random.getrandbits(random.randint(1, bits)) or 1
    f = Fraction(num, den)
    if random.random() < 0.15:
        f = Fraction(num)
    return -f if random.random() < 0.5 else f


def show(f, n):
    return text(f) if fits(f, n) else "overflow"


out = []
for n, count in [(1, 60), (2, 60), (5, 40), (26, 25), (65, 15), (260, 6), (520, 4)]:
    for _ in range(count):
        bits = 64 * n // 2 if random.random() < 0.8 else 64 * n
        a, b = rnd(bits), rnd(bits)
        if not (fits(a, n) and fits(b, n)):
            continue
        out.append(f"add {n} {text(a)} {text(b)} = {show(a + b, n)}")
        out.append(f"sub {n} {text(a)} {text(b)} = {show(a - b, n)}")
        out.append(f"mul {n} {text(a)} {text(b)} = {show(a * b, n)}")
        if b != 0:
            out.append(f"div {n} {text(a)} {text(b)} = {show(a / b, n)}")
            q = abs(a) // abs(b)
            if (a < 0) != (b < 0):
                q = -q
            r = a - q * b
            if fits(Fraction(q), n) and fits(r, n):
                out.append(f"divmod {n} {text(a)} {text(b)} = {text(Fraction(q))} {text(r)}")
        c = (a > b) - (a < b)
        out.append(f"cmp {n} {text(a)} {text(b)} = {c}")
        e = random.randint(-5, 5)
        if a != 0 or e >= 0:
            out.append(f"powi {n} {text(a)} {e} = {show(a ** e, n)}")

# numerator / denominator rounded half up to P digits
from decimal import Decimal, Context, ROUND_HALF_UP
for n, p in [(1, 1), (1, 16), (2, 16), (2, 38), (5, 5), (26, 100), (65, 1000), (520, 10005),
             (2000, 300)]:
    for _ in range(4):
        f = rnd(64 * n)
        if f == 0:
            continue
        c = Context(prec=p, rounding=ROUND_HALF_UP, Emax=10**9, Emin=-10**9)
        d = c.divide(Decimal(f.numerator), Decimal(f.denominator))
        sign, digits, exp = d.as_tuple()
        ds = "".join(map(str, digits)).lstrip("0").ljust(p, "0")
        out.append(f"todec {n} {text(f)} {p} = {'-' if sign else '+'} {ds} {d.adjusted()}")

print("# made by tests/data/gen_rational.py with Python's fractions module; do not edit")
print("\n".join(out))
