#!/usr/bin/python3
"""Writes complex.txt: complex products, quotients and reciprocals of random P-digit parts,
rounded half up to P digits part by part from the exact values (Python's decimal module).

Run: /usr/bin/python3 tests/data/gen_complex.py > tests/data/complex.txt
Line: op P ar ai br bi = re im   (numbers as  sign digits exponent, or 0)
"""
import random
from decimal import Decimal, Context, ROUND_HALF_UP, ROUND_DOWN

random.seed(777)
E = 10**17


def rnd(p):
    kind = random.random()
    if kind < 0.1:
        return Decimal(0)
    ds = str(random.randint(1, 9)) + "".join(random.choice("0123456789") for _ in range(p - 1))
    if kind < 0.2:
        ds = ds[: random.randint(1, p)]
    d = Decimal(ds)
    x = d.scaleb(random.randint(-8, 8) - d.adjusted())
    return -x if random.random() < 0.5 else x


def fmt(d, p):
    if d == 0:
        return "0"
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits)).lstrip("0")
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def rounded(x, p):
    t = Context(prec=p + 40, rounding=ROUND_DOWN, Emax=E, Emin=-E).plus(x)
    return Context(prec=p, rounding=ROUND_HALF_UP, Emax=E, Emin=-E).plus(t)


def exact_div(n, q, p):
    return Context(prec=p + 40, rounding=ROUND_DOWN, Emax=E, Emin=-E).divide(n, q)


big = Context(prec=100000, Emax=E, Emin=-E)
out = []
for p, count in [(1, 40), (2, 40), (5, 40), (16, 120), (19, 40), (20, 40), (38, 30), (50, 30),
                 (100, 20), (500, 6), (2000, 2)]:
    for _ in range(count):
        a, b, c, d = rnd(p), rnd(p), rnd(p), rnd(p)
        if random.random() < 0.2:  # cancelling real part: ac close to bd
            c, d = b, a
        if b == 0 and d == 0:
            b = Decimal(1)
        re = big.subtract(big.multiply(a, c), big.multiply(b, d))
        im = big.add(big.multiply(a, d), big.multiply(b, c))
        out.append(f"mul {p} {fmt(a,p)} {fmt(b,p)} {fmt(c,p)} {fmt(d,p)} = "
                   f"{fmt(rounded(re,p),p)} {fmt(rounded(im,p),p)}")
        if d == 0:
            continue
        q = big.add(big.multiply(c, c), big.multiply(d, d))
        nre = big.add(big.multiply(a, c), big.multiply(b, d))
        nim = big.subtract(big.multiply(b, c), big.multiply(a, d))
        out.append(f"div {p} {fmt(a,p)} {fmt(b,p)} {fmt(c,p)} {fmt(d,p)} = "
                   f"{fmt(rounded(exact_div(nre,q,p),p),p)} {fmt(rounded(exact_div(nim,q,p),p),p)}")
        out.append(f"rec {p} {fmt(c,p)} {fmt(d,p)} 0 0 = "
                   f"{fmt(rounded(exact_div(c,q,p),p),p)} {fmt(rounded(exact_div(-d,q,p),p),p)}")

print("# made by tests/data/gen_complex.py with Python's decimal module; do not edit")
print("\n".join(out))
