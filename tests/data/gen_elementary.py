#!/usr/bin/python3
"""Writes elementary.txt: reference results of the elementary functions, computed with mpmath
(exact integers where the result is an integer) and rounded half up on the magnitude to the
working precision.

Run: /usr/bin/python3 tests/data/gen_elementary.py > tests/data/elementary.txt

Line format:  func P arg [arg] = result status
Numbers are  sign digits exponent  (the digits of the exact decimal operand, at most P of
them) or 0 / -0 / inf / -inf / NaN; the result has exactly P digits; status is the expected
MathStatus. pow2 takes a plain integer m.
"""
import math
import random
import sys

import mpmath
from mpmath import mpf

sys.set_int_max_str_digits(1000000)
random.seed(4021)
mpmath.mp.dps = 50

LINES = []
HEAVY = [2000, 10005]
PRECISIONS = [1, 2, 3, 5, 9, 15, 16, 17, 19, 20, 21, 25, 38, 39, 40, 57, 60, 100, 150, 333, 1000]


def num(sign, digits, exp):
    """An exact operand: digits (str) with the leading digit at 10^exp."""
    digits = digits.rstrip("0") or "0"
    return (sign, digits, exp)


def rand_num(p, e_lo, e_hi, negative=False):
    nd = random.randint(1, p)
    ds = str(random.randint(1, 9)) + "".join(random.choice("0123456789") for _ in range(nd - 1))
    return num(1 if negative else 0, ds, random.randint(e_lo, e_hi))


def from_text(text, p):
    """An operand from a decimal text, truncated to p digits."""
    d = mpmath.mpf(text) if not isinstance(text, mpf) else text
    return to_operand(d, p)


def to_operand(v, p):
    """v truncated to p significant digits, as an exact operand."""
    if v == 0:
        return num(0, "0", 0)
    sign = 1 if v < 0 else 0
    v = abs(v)
    with mpmath.workdps(p + 40):
        e = int(mpmath.floor(mpmath.log10(v)))
        m = v / mpf(10) ** e
        if m >= 10:
            e, m = e + 1, m / 10
        if m < 1:
            e, m = e - 1, m * 10
        n = int(mpmath.floor(m * mpf(10) ** (p - 1)))
    return num(sign, str(n), e)


def value(op):
    """The operand as an mpf good to far more digits than any precision compared, also after
    the cancellation of ln x for x next to 1."""
    sign, ds, e = op
    with mpmath.workdps(25000):
        v = mpf(int(ds)) * mpf(10) ** (e - len(ds) + 1)
        return -v if sign else v


def fmt_op(op):
    sign, ds, e = op
    if ds == "0":
        return "-0" if sign else "0"
    return f"{'-' if sign else '+'} {ds} {e}"


def round_half_up(v, p):
    """mpf v (computed with at least p + 40 digits) rounded half up to p digits."""
    if v == 0:
        return "0"
    if mpmath.isinf(v):
        return "-inf" if v < 0 else "inf"
    sign = "-" if v < 0 else "+"
    v = abs(v)
    extra = 30
    with mpmath.workdps(p + 60):
        e = int(mpmath.floor(mpmath.log10(v)))
        m = v / mpf(10) ** e
        if m >= 10:
            e, m = e + 1, m / 10
        if m < 1:
            e, m = e - 1, m * 10
        n = int(mpmath.floor(m * mpf(10) ** (p - 1 + extra)))
    q, r = divmod(n, 10 ** extra)
    # The exact value must not sit so close to a rounding boundary that 30 digits cannot tell.
    assert abs(r - 5 * 10 ** (extra - 1)) > 10 ** 5 or r == 5 * 10 ** (extra - 1), (v, p)
    if r >= 5 * 10 ** (extra - 1):
        q += 1
    if q == 10 ** p:
        q, e = 10 ** (p - 1), e + 1
    return f"{sign} {q} {e}"


def round_int(n, p):
    """An exact integer rounded half up to p digits."""
    if n == 0:
        return "0"
    sign = "-" if n < 0 else "+"
    n = abs(n)
    s = str(n)
    e = len(s) - 1
    if len(s) <= p:
        return f"{sign} {s.ljust(p, '0')} {e}"
    q, r = divmod(n, 10 ** (len(s) - p))
    if 2 * r >= 10 ** (len(s) - p):
        q += 1
    if q == 10 ** p:
        q, e = 10 ** (p - 1), e + 1
    return f"{sign} {q} {e}"


def emit(func, p, ops, result, status=0):
    # Operands must be exact at the precision (pow2's integer is no decimal operand).
    if any(len(op.split()) == 3 and len(op.split()[1]) > p for op in ops):
        return
    LINES.append(f"{func} {p} {' '.join(ops)} = {result} {status}")


def compute(f, p):
    with mpmath.workdps(p + 60):
        return round_half_up(f(), p)


# --- exp, 10^x, 2^x ---------------------------------------------------------------------------
LN10 = mpmath.log(10)


def exp_cases(p):
    ops = [rand_num(p, -30, 2, random.random() < 0.4) for _ in range(4)]
    ops += [rand_num(p, 3, 17, random.random() < 0.5)]
    with mpmath.workdps(p + 60):
        # next to the reduction bounds: (j + 0.5) ln 1.2 and (j + 0.5) ln 1.01 beyond k ln 10
        j, k = random.randint(0, 12), random.randint(-5, 5)
        ops.append(to_operand(k * LN10 + (j + mpf(0.5)) * mpmath.log(mpf("1.2")), p))
        j = random.randint(0, 8)
        ops.append(to_operand((j + mpf(0.5)) * mpmath.log(mpf("1.01")), p))
    return ops


for p in PRECISIONS + HEAVY:
    for func, base in (("exp", None), ("exp10", 10), ("exp2", 2)):
        cases = exp_cases(p) if p <= 1000 else exp_cases(p)[:2]
        for op in cases:
            x = value(op)
            if base is None:
                f = lambda: mpmath.exp(x)
            else:
                f = lambda: mpmath.power(base, x)
            emit(func, p, [fmt_op(op)], compute(f, p))
for p in (16, 50):
    emit("exp", p, [fmt_op(num(0, "1", 20))], "inf", 200)
    emit("exp", p, [fmt_op(num(1, "1", 20))], "0", 0)
    emit("exp", p, [fmt_op(num(0, "105", 19))], compute(lambda: mpmath.exp(mpf("1.05e19")), p))
    emit("exp", p, [fmt_op(num(0, "107", 19))], "inf", 200)
    emit("exp10", p, [fmt_op(num(0, "4611686018427387903", 18))],
         compute(lambda: mpf(10) ** mpf(4611686018427387903), p))
    emit("exp10", p, [fmt_op(num(0, "4611686018427387904", 18))], "inf", 200)
    emit("exp", p, ["0"], round_int(1, p))
    emit("exp", p, ["inf"], "inf")
    emit("exp", p, ["-inf"], "0")
    emit("exp", p, ["NaN"], "NaN")

# --- logarithms -----------------------------------------------------------------------------


def log_args(p):
    ops = [rand_num(p, -40, 40) for _ in range(3)]
    ops.append(rand_num(p, -4000000000000, 4000000000000))
    with mpmath.workdps(p + 60):
        j = random.randint(1, 6)
        ops.append(to_operand(mpf("1.2") ** (j - mpf(0.5)), p))
        j = random.randint(1, 9)
        ops.append(to_operand(mpf("1.01") ** -(j - mpf(0.5)) * 10 ** random.randint(-3, 3), p))
        ops.append(to_operand(mpmath.sqrt(10), p))
        ops.append(to_operand(1 + mpf(10) ** -random.randint(1, p + 3), p))
        ops.append(to_operand(1 - mpf(10) ** -random.randint(1, p + 3), p))
    return ops


def ln_exact(x):
    """ln x at the working precision; near 1 with as many more digits as ln x has leading
    zeros, which plain log (and log1p) would lose to cancellation."""
    with mpmath.workdps(25000):
        d = x - 1
    lost = int(-mpmath.log10(abs(d))) + 10 if d != 0 and abs(d) < 0.5 else 0
    with mpmath.workdps(mpmath.mp.dps + lost):
        return +mpmath.log(x)


for p in PRECISIONS + HEAVY:
    args = log_args(p)
    if p > 1000:
        args = args[:1] + args[-2:]
    for op in args:
        x = value(op)
        if x <= 0:
            continue
        emit("ln", p, [fmt_op(op)], compute(lambda: ln_exact(x), p))
        if p <= 1000:
            emit("log2", p, [fmt_op(op)], compute(lambda: ln_exact(x) / mpmath.log(2), p))
            emit("log10", p, [fmt_op(op)], compute(lambda: ln_exact(x) / mpmath.log(10), p))
    if p <= 1000:
        for _ in range(3):
            b = rand_num(p, -3, 3)
            x = rand_num(p, -30, 30)
            if value(b) == 1:
                continue
            bv, xv = value(b), value(x)
            emit("logx", p, [fmt_op(b), fmt_op(x)], compute(lambda: ln_exact(xv) / ln_exact(bv), p))
for p in (16, 40):
    emit("log10", p, [fmt_op(num(0, "1", 3))], round_int(3, p))
    emit("log10", p, [fmt_op(num(0, "1", -123456))], round_int(-123456, p))
    emit("log2", p, [fmt_op(num(0, "8", 0))], round_int(3, p))
    emit("ln", p, [fmt_op(num(0, "1", 0))], "0")
    emit("ln", p, ["0"], "-inf", 200)
    emit("ln", p, [fmt_op(num(1, "1", 0))], "NaN", 203)
    emit("ln", p, ["inf"], "inf")
    emit("ln", p, ["-inf"], "NaN", 203)
    emit("logx", p, [fmt_op(num(0, "1", 0)), fmt_op(num(0, "5", 0))], "NaN", 203)
    emit("logx", p, [fmt_op(num(1, "2", 0)), fmt_op(num(0, "5", 0))], "NaN", 203)
    emit("logx", p, [fmt_op(num(0, "2", 0)), "0"], "-inf", 200)
    emit("logx", p, [fmt_op(num(0, "5", -1)), "0"], "inf", 200)
    emit("logx", p, [fmt_op(num(0, "5", -1)), "inf"], "-inf", 0)
    emit("logx", p, [fmt_op(num(0, "2", 0)), "inf"], "inf", 0)

# --- roots ----------------------------------------------------------------------------------
for p in PRECISIONS + HEAVY:
    count = 5 if p <= 1000 else 2
    for _ in range(count):
        op = rand_num(p, -60, 60)
        x = value(op)
        emit("sqrt", p, [fmt_op(op)], compute(lambda: mpmath.sqrt(x), p))
        op = rand_num(p, -60, 60, random.random() < 0.5)
        x = value(op)
        emit("cbrt", p, [fmt_op(op)], compute(lambda: mpmath.cbrt(abs(x)) * (-1 if x < 0 else 1), p))
    if p <= 1000:
        # perfect squares and cubes of short numbers
        r = random.randint(1, 10 ** min(p, 9) - 1)
        emit("sqrt", p, [fmt_op(num(0, str(r * r), len(str(r * r)) - 1))], round_int(r, p))
        emit("cbrt", p, [fmt_op(num(1, str(r ** 3), len(str(r ** 3)) - 1))], round_int(-r, p))
        for n in (4, 5, 7, 17, 100):
            op = rand_num(p, -50, 50, n % 2 == 1 and random.random() < 0.5)
            x = value(op)
            emit("root", p, [fmt_op(num(0, str(n), len(str(n)) - 1)), fmt_op(op)],
                 compute(lambda: mpmath.root(abs(x), n) * (-1 if x < 0 else 1), p))
        big = 10 ** 25 + 1
        op = rand_num(p, 1000, 100000)
        x = value(op)
        emit("root", p, [fmt_op(num(0, str(big), 25)), fmt_op(op)],
             compute(lambda: mpmath.exp(mpmath.log(x) / big), p))
for p in (16, 30):
    emit("sqrt", p, [fmt_op(num(0, "2", 0))], compute(lambda: mpmath.sqrt(2), p))
    emit("sqrt", p, [fmt_op(num(1, "4", 0))], "NaN", 203)
    emit("sqrt", p, ["-0"], "-0")
    emit("cbrt", p, [fmt_op(num(1, "27", 1))], round_int(-3, p))
    emit("root", p, [fmt_op(num(0, "3", 0)), fmt_op(num(1, "8", 0))], round_int(-2, p))
    emit("root", p, [fmt_op(num(0, "2", 0)), fmt_op(num(1, "4", 0))], "NaN", 203)
    emit("root", p, ["0", fmt_op(num(0, "4", 0))], "NaN", 203)
    emit("root", p, [fmt_op(num(0, "25", 0)), fmt_op(num(0, "4", 0))], "NaN", 203)

# --- powers ---------------------------------------------------------------------------------
for p in PRECISIONS + HEAVY:
    cases = []
    for _ in range(4 if p <= 1000 else 1):
        cases.append((rand_num(p, -20, 20), rand_num(p, -5, 2, random.random() < 0.5)))
    if p <= 1000:
        cases.append((rand_num(p, -3, 3, True), num(random.randint(0, 1), str(random.randint(1, 300)), 2)))
        # a base near 1 with a huge exponent: the result needs every digit of y ln x
        with mpmath.workdps(p + 60):
            xb = to_operand(1 + mpf(10) ** -random.randint(5, 20), p)
        cases.append((xb, num(0, str(random.randint(1, 9)), random.randint(5, 20))))
        cases.append((rand_num(p, -300, 300), rand_num(p, 10, 15, random.random() < 0.5)))
    for xo, yo in cases:
        x, y = value(xo), value(yo)
        with mpmath.workdps(p + 60):
            r = abs(x) ** y
            if x < 0 and int(y) % 2 == 1:
                r = -r
            big = abs(mpmath.log10(abs(r))) > 4.6e18 if r != 0 else False
        if big:
            continue
        emit("pow", p, [fmt_op(xo), fmt_op(yo)], compute(lambda: r, p))
for p in (16, 40):
    one = fmt_op(num(0, "1", 0))
    emit("pow", p, ["0", "0"], round_int(1, p))
    emit("pow", p, ["0", fmt_op(num(1, "1", 0))], "NaN", 203)
    emit("pow", p, [fmt_op(num(1, "8", 0)), fmt_op(to_operand(mpf(1) / 3, p))], "NaN", 203)
    emit("pow", p, [fmt_op(num(1, "2", 0)), fmt_op(num(0, "3", 0))], round_int(-8, p))
    emit("pow", p, [fmt_op(num(0, "2", 0)), fmt_op(num(1, "2", 0))], compute(lambda: mpf(1) / 4, p))
    emit("pow", p, ["inf", "0"], "NaN", 203)
    emit("pow", p, [fmt_op(num(0, "5", -1)), "inf"], "0")
    emit("pow", p, [fmt_op(num(0, "5", -1)), "-inf"], "inf")
    emit("pow", p, [fmt_op(num(0, "2", 0)), "inf"], "inf")
    emit("pow", p, [one, "inf"], round_int(1, p))
    emit("pow", p, [fmt_op(num(1, "2", 0)), "inf"], "NaN", 203)
    emit("pow", p, ["-0", fmt_op(num(0, "3", 0))], "-0")
    emit("pow", p, ["-inf", fmt_op(num(0, "3", 0))], "-inf")
    emit("pow", p, ["-inf", fmt_op(num(1, "2", 0))], "0")
    emit("pow", p, ["-inf", fmt_op(num(0, "5", -1))], "NaN", 203)
    emit("pow", p, [fmt_op(num(0, "1", 1)), fmt_op(num(0, "1", 20))], "inf", 200)
    emit("pow", p, [fmt_op(num(0, "1", 1)), fmt_op(num(1, "1", 20))], "0")
for p in (1, 5, 16, 19, 20, 40, 100, 1000):
    for m in (0, 1, 63, 64, 65, 100, 127, 128, 129, 1000, 12345, -1, -64, -100, -129, -5000,
              random.randint(10 ** 6, 10 ** 9), -random.randint(10 ** 6, 10 ** 9)):
        if 0 <= m < 20000:
            emit("pow2", p, [str(m)], round_int(2 ** m, p))
        else:
            emit("pow2", p, [str(m)], compute(lambda: mpf(2) ** m, p))
for m in (2 ** 62, -(2 ** 62), 2 ** 63 - 1, -(2 ** 63)):
    emit("pow2", 30, [str(m)], compute(lambda: mpf(2) ** m, 30))

# --- factorial and binomials -----------------------------------------------------------------
for p in (1, 2, 5, 10, 16, 20, 40, 100, 250, 1000):
    ns = [random.randint(0, 69), 69, 70, 71, random.randint(72, 300), random.randint(300, 5000)]
    if p >= 100:
        ns.append(random.randint(5000, 200000))
    for n in ns:
        emit("fact", p, [fmt_op(num(0, str(n), len(str(n)) - 1))], round_int(math.factorial(n), p))
for p in (2000, 10005):
    for n in (1000, 400000):
        emit("fact", p, [fmt_op(num(0, str(n), len(str(n)) - 1))],
             compute(lambda: mpmath.factorial(n), p))
emit("fact", 10005, [fmt_op(num(0, "5000000", 6))], compute(lambda: mpmath.factorial(5000000), 10005))
emit("fact", 16, [fmt_op(num(0, "1", 17))], compute(lambda: mpmath.factorial(10 ** 17), 16))
emit("fact", 16, [fmt_op(num(0, "25", 0))], "NaN", 203)
emit("fact", 16, [fmt_op(num(1, "3", 0))], "NaN", 203)
emit("fact", 16, [fmt_op(num(0, "1", 19))], "inf", 200)
emit("fact", 16, [fmt_op(num(0, "1", 30))], "inf", 200)
emit("fact", 16, ["inf"], "inf")
emit("fact", 16, ["0"], round_int(1, 16))


def binom_exact(n, k, perm):
    r = math.perm(n, k) if perm else math.comb(n, k)
    return r


for p in (1, 3, 16, 19, 20, 40, 100, 400):
    for _ in range(4):
        n = random.randint(0, 400)
        k = random.randint(0, n + 5)
        for func, perm in (("ncr", False), ("npr", True)):
            want = binom_exact(n, k, perm) if k <= n else 0
            emit(func, p, [fmt_op(num(0, str(n), len(str(n)) - 1)) if n else "0",
                           fmt_op(num(0, str(k), len(str(k)) - 1)) if k else "0"],
                 round_int(want, p))
    # a fractional or negative n: the falling product over k!
    nop = rand_num(min(p, 12), -2, 2, random.random() < 0.5)
    k = random.randint(1, 40)
    nv = value(nop)
    with mpmath.workdps(p + 60):
        prod = mpf(1)
        for i in range(k):
            prod *= nv - i
        emit("npr", p, [fmt_op(nop), fmt_op(num(0, str(k), len(str(k)) - 1))], round_half_up(prod, p))
        emit("ncr", p, [fmt_op(nop), fmt_op(num(0, str(k), len(str(k)) - 1))],
             round_half_up(prod / mpmath.factorial(k), p))
    n, k = 10 ** 12, 5
    emit("ncr", p, [fmt_op(num(0, "1", 12)), fmt_op(num(0, str(n - k), 11))], round_int(math.comb(n, k), p))
for p in (16,):
    emit("ncr", p, [fmt_op(num(0, "5", 0)), fmt_op(num(0, "2", 0))], round_int(10, p))
    emit("npr", p, [fmt_op(num(0, "5", 0)), fmt_op(num(0, "2", 0))], round_int(20, p))
    emit("ncr", p, [fmt_op(num(0, "2", 0)), fmt_op(num(0, "5", 0))], "0")
    emit("ncr", p, [fmt_op(num(0, "5", -1)), fmt_op(num(0, "2", 0))], round_half_up(mpf("-0.125"), p))
    emit("ncr", p, ["inf", "0"], "NaN", 203)
    emit("ncr", p, [fmt_op(num(0, "7", 0)), "0"], round_int(1, p))
    emit("ncr", p, ["-0", fmt_op(num(0, "3", 0))], "-0")
    emit("ncr", p, [fmt_op(num(0, "5", 0)), fmt_op(num(0, "15", 0))], "NaN", 203)
    emit("ncr", p, [fmt_op(num(0, "5", 0)), fmt_op(num(1, "1", 0))], "NaN", 203)
    emit("npr", p, ["inf", fmt_op(num(0, "2", 0))], "NaN", 203)

for p in (1, 5, 16, 20, 40, 100, 1000):
    for _ in range(4):
        d = min(p, random.randint(1, 40))
        g = random.randint(1, 10 ** (d // 3 + 1))
        a = g * random.randint(1, 10 ** (d // 3 + 1))
        b = g * random.randint(1, 10 ** (d // 3 + 1))
        if len(str(a)) > p or len(str(b)) > p:
            continue
        ops = [fmt_op(num(0, str(a), len(str(a)) - 1)), fmt_op(num(0, str(b), len(str(b)) - 1))]
        emit("gcd", p, ops, round_int(math.gcd(a, b), p))
        emit("lcm", p, ops, round_int(a * b // math.gcd(a, b), p))
emit("gcd", 16, [fmt_op(num(0, "12", 1)), fmt_op(num(0, "18", 1))], round_int(6, 16))
emit("gcd", 16, ["0", fmt_op(num(0, "5", 0))], "NaN", 203)
emit("gcd", 16, [fmt_op(num(0, "25", 0)), fmt_op(num(0, "5", 0))], "NaN", 203)
emit("gcd", 16, [fmt_op(num(1, "4", 0)), fmt_op(num(0, "6", 0))], "NaN", 203)

# --- internal series: ln(1 + x) and artanh, with 3 guard digits ----------------------------------
for p in (1, 5, 16, 20, 40, 100, 1000):
    for _ in range(3):
        op = rand_num(p, -12, -2, random.random() < 0.5)
        x = value(op)
        emit("log1p", p, [fmt_op(op)], compute(lambda: mpmath.log1p(x), p))
        emit("atanh", p, [fmt_op(op)], compute(lambda: mpmath.atanh(x), p))
    op = num(0, "49"[:p], -1)
    x = value(op)
    emit("log1p", p, [fmt_op(op)], compute(lambda: mpmath.log1p(x), p))
emit("log1p", 16, [fmt_op(num(0, "5", -1))], "NaN", 203)
emit("log1p", 16, ["-0"], "-0")
emit("atanh", 16, [fmt_op(num(0, "1", 0))], "NaN", 203)

# --- exact midpoints: results with P + 1 digits ending in 5, rounded up ----------------------------
# (after every random case above, so that those stay as they were)
from decimal import Decimal, Context, ROUND_HALF_UP


def midpoint(text, p):
    d = Context(prec=p, rounding=ROUND_HALF_UP).plus(Decimal(text))
    sign, digits, exp = d.as_tuple()
    ds = "".join(map(str, digits))
    assert len(Decimal(text).as_tuple().digits) == p + 1, (text, p)
    return f"{'-' if sign else '+'} {ds.ljust(p, '0')} {d.adjusted()}"


def op_of(text):
    d = Decimal(text)
    sign, digits, exp = d.as_tuple()
    return fmt_op(num(sign, "".join(map(str, digits)), d.adjusted()))


for base, y, p, exact in (("2.5", "2", 2, "6.25"), ("0.25", "1.5", 2, "0.125"),
                          ("-2.5", "3", 4, "-15.625"), ("1.5", "3", 3, "3.375"),
                          ("12.5", "2", 4, "156.25")):
    emit("pow", p, [op_of(base), op_of(y)], midpoint(exact, p))
for m, p in ((-2, 1), (-3, 2), (-10, 6), (-60, 41)):
    exact = f"{5 ** -m}E{m}"  # 2^m = 5^-m 10^m
    emit("exp2", p, [op_of(str(m))], midpoint(exact, p))
for b, x, p, exact in (("65536", "2", 2, "0.0625"), ("4", "8", 1, "1.5"), ("16", "2", 1, "0.25")):
    emit("logx", p, [op_of(b), op_of(x)], midpoint(exact, p))
for n, k, p, perm in ((7, 3, 1, False), (10, 2, 1, False), (15, 2, 2, False), (25, 1, 1, True)):
    exact = str(math.perm(n, k) if perm else math.comb(n, k))
    emit("npr" if perm else "ncr", p, [op_of(str(n)), op_of(str(k))], midpoint(exact, p))

# Square roots of short precisions, dense, by exact integers: for x = M 10^(e - P + 1) the
# root's digits are isqrt(M 10^(P - 1 + o)) with o = e mod 2, rounded up iff the remainder
# passes the midpoint. Own generator, so the lines above stay as they are.
small = random.Random(20261208)
for p in range(1, 19):
    for i in range(40):
        if i % 4 == 0:
            r = small.randint(1, 10 ** ((p + 1) // 2) - 1)
            ds = str(r * r)  # a perfect square (lines with more than p digits are left out)
        else:
            ds = str(small.randint(1, 9)) + "".join(small.choice("0123456789") for _ in range(p - 1))
        e = small.randint(-40, 40)
        ds = ds.rstrip("0")
        if len(ds) > p:
            continue
        m = int(ds.ljust(p, "0"))
        o = e % 2
        t = m * 10 ** (p - 1 + o)
        root = math.isqrt(t)
        up = 4 * t > (2 * root + 1) ** 2
        digits = str(root + (1 if up else 0))
        ex = (e - o) // 2 + (len(digits) - p)
        res = f"+ {digits[:p].ljust(p, '0')} {ex}"
        emit("sqrt", p, [fmt_op(num(0, ds, e))], res)

print(__doc__.strip().replace("\n", "\n# ").join(["# ", ""]))
for line in LINES:
    print(line)
