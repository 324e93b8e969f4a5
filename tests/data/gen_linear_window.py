#!/usr/bin/python3
"""Reference solutions for the linear-systems window tests, solved with exact fractions
(Python's fractions module) and rounded half up to the shown digits with decimal.

Each line: type|digits|rows|x1|x2|... where rows are the cell texts a1..an,b separated by ","
and rows separated by " "; complex cells use i. Values are written as the result field shows
them: rationals as p/q (or p), decimals without trailing zeros, complex as re+imi.
"""
from decimal import Decimal, ROUND_HALF_UP, localcontext
from fractions import Fraction


def solve(rows):
    n = len(rows)
    m = [list(r) for r in rows]
    for c in range(n):
        p = next(r for r in range(c, n) if m[r][c] != 0)
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c and m[r][c] != 0:
                f = m[r][c] / m[c][c]
                m[r] = [a - f * b for a, b in zip(m[r], m[c])]
    return [m[r][n] / m[r][r] for r in range(n)]


class C:
    """Complex number with Fraction parts."""

    def __init__(self, re, im=0):
        self.re, self.im = Fraction(re), Fraction(im)

    def __sub__(self, o):
        return C(self.re - o.re, self.im - o.im)

    def __mul__(self, o):
        return C(self.re * o.re - self.im * o.im, self.re * o.im + self.im * o.re)

    def __truediv__(self, o):
        d = o.re * o.re + o.im * o.im
        return C((self.re * o.re + self.im * o.im) / d, (self.im * o.re - self.re * o.im) / d)

    def __ne__(self, o):
        o = o if isinstance(o, C) else C(o)
        return self.re != o.re or self.im != o.im


def dec(q, digits):
    with localcontext() as ctx:
        ctx.prec = digits
        ctx.rounding = ROUND_HALF_UP
        v = +(Decimal(q.numerator) / Decimal(q.denominator))
    s = format(v, 'f')
    if '.' in s:
        s = s.rstrip('0').rstrip('.')
    return s


def rat(q):
    return str(q.numerator) if q.denominator == 1 else f"{q.numerator}/{q.denominator}"


def cplx(z, digits):
    sign = '-' if z.im < 0 else '+'
    return f"{dec(z.re, digits)}{sign}{dec(abs(z.im), digits)}i"


def cell_value(text):
    text = text.strip()
    if text.endswith('i'):
        body = text[:-1]
        for k in range(len(body) - 1, 0, -1):
            if body[k] in '+-':
                return C(Fraction(body[:k]), Fraction(body[k:] + ('1' if body[k + 1:] == '' else '')))
        return C(0, Fraction(body) if body else 1)
    return Fraction(text)


CASES = [
    ("real", 10, ["7,1,1", "1,1,0"]),
    ("real", 15, ["1,1,1,6", "1,-1,2,5", "2,1,-1,1"]),
    ("real", 30, ["2,3,1", "5,-4,7"]),
    ("rat", 10, ["1/3,1,1", "1,-1/7,2"]),
    ("rat", 10, ["2,1,1,1", "1,3,1,2", "1,1,4,3"]),
    ("cplx", 12, ["1+i,1,2", "i,-1,3i"]),
    ("cplx", 20, ["2+3i,1-i,4", "1,2i,1+i"]),
]

for kind, digits, rows in CASES:
    cells = [[cell_value(t) for t in r.split(',')] for r in rows]
    if kind == "cplx":
        cells = [[v if isinstance(v, C) else C(v) for v in r] for r in cells]
        xs = [cplx(x, digits) for x in solve(cells)]
    elif kind == "rat":
        xs = [rat(x) for x in solve(cells)]
    else:
        xs = [dec(x, digits) for x in solve(cells)]
    print("|".join([kind, str(digits), " ".join(rows)] + xs))
