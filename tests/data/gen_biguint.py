#!/usr/bin/python3
"""Writes biguint.txt: reference results of the BigUInt operations and its text form, computed
with Python's exact integers.

Run: /usr/bin/python3 tests/data/gen_biguint.py > tests/data/biguint.txt

One case per line, fields separated by single spaces:  op N args... = results... status
  Numbers are lower-case hexadecimal without prefix ("0" for zero). N is the limb count.
  A result that fails is 0 (all results) and status is the MathStatus code (0 = none).
  Texts are percent-encoded UTF-8 ("%20" for a space, "%25" for "%", "%27" for "'").
  mul N a b = r st            a * b, 200 when it needs more than N limbs
  divmod N a b = q r st       202 for b = 0
  isqrt N a = r exact         exact is 1 or 0
  root N k a = r exact        k-th root, rounded down
  pow N a e = r st
  pow10 N e = r st
  log N base a = r exact st   floor(log_base a), 200 for a = 0 or base < 2
  factorial N n = r st
  binomial N n k perm = r st  C(n, k) or n!/(n-k)!; 0 without error for n < k
  gcd N a b = g st l st       gcd and lcm, 203 for a zero operand
  powmod N b e m = r st
  format N flags a = text     flags in hexadecimal
  parse N flags text = r st
"""
import math
import random
import sys
import urllib.parse

sys.set_int_max_str_digits(0)
random.seed(20261208)

LIMB = 1 << 64
OUT = []


def h(x):
    return format(x, "x")


def enc(text):
    return urllib.parse.quote(text, safe="+-.,eE")


def emit(*fields):
    OUT.append(" ".join(str(f) for f in fields))


def rand_limbs(k, shape=None):
    """A value of exactly k significant limbs (k >= 1), random or of a special shape."""
    shape = shape or random.choice(["rand"] * 6 + ["ones", "sparse", "top1", "pow2", "highbits"])
    if shape == "ones":
        return LIMB**k - 1
    if shape == "sparse":
        v = 1 << (64 * (k - 1) + random.randrange(64))
        for _ in range(random.randrange(1, 4)):
            v |= random.getrandbits(64) << (64 * random.randrange(k))
        return v
    if shape == "top1":
        return (1 << (64 * (k - 1))) | random.getrandbits(64 * (k - 1))
    if shape == "pow2":
        return 1 << (64 * (k - 1) + random.randrange(64))
    if shape == "highbits":
        return LIMB**k - 1 - random.getrandbits(64 * k // 2 + 1)
    v = random.getrandbits(64 * k)
    return v | (1 << (64 * k - 1 - random.randrange(64)))


SIZES = [1, 2, 3, 4, 5, 7, 8, 13, 16, 26, 27, 31, 32, 33, 40, 55, 56, 64, 65, 80, 100, 129,
         257, 520, 2000]


def reps(n, small, big):
    return small if n <= 260 else big


# --- products ---------------------------------------------------------------------------------

def case_mul(n, a, b):
    p = a * b
    if p >= LIMB**n:
        emit("mul", n, h(a), h(b), "=", 0, 200)
    else:
        emit("mul", n, h(a), h(b), "=", h(p), 0)


for n in SIZES:
    for _ in range(reps(n, 4, 1)):
        la = random.randint(1, n)
        lb = random.randint(1, max(1, n + 1 - la))
        case_mul(n, rand_limbs(la), rand_limbs(lb))
    # balanced operands at the Karatsuba sizes, and the boundary la + lb = N + 1
    if 2 <= n <= 520:
        la = (n + 1) // 2
        case_mul(n, rand_limbs(la), rand_limbs(n + 1 - la))
        case_mul(n, rand_limbs(la, "top1"), rand_limbs(n + 1 - la, "top1"))
        case_mul(n, rand_limbs(n // 2), rand_limbs(n - n // 2))
    if n <= 520:
        case_mul(n, rand_limbs(n), rand_limbs(1))
        case_mul(n, rand_limbs(max(1, n // 2)), rand_limbs(max(1, n // 2)))
for n in [2, 64, 128, 300]:
    case_mul(n, LIMB**n - 1, 1)
    case_mul(n, LIMB**(n // 2) - 1, LIMB**(n // 2) - 1)
    case_mul(n, LIMB**(n // 2) - 1, LIMB**(n // 2 + 1) - 1)
    case_mul(n, 1 << (64 * n - 1), 2)

# --- division ---------------------------------------------------------------------------------


def case_divmod(n, a, b):
    if b == 0:
        emit("divmod", n, h(a), h(b), "=", 0, 0, 202)
    else:
        emit("divmod", n, h(a), h(b), "=", h(a // b), h(a % b), 0)


for n in SIZES:
    for _ in range(reps(n, 5, 1)):
        la = random.randint(1, n)
        lb = random.randint(1, la)
        case_divmod(n, rand_limbs(la), rand_limbs(lb))
    if 2 <= n <= 520:
        # quotient digits of all ones and a divisor whose top limb is just 2^63: the estimated
        # quotient limb is too large and needs its corrections
        lb = max(2, n // 3)
        b = (1 << (64 * lb - 1)) | random.getrandbits(64 * (lb - 1))
        q = LIMB**(n - lb) - 1
        a = b * q + random.randrange(b)
        if a < LIMB**n:
            case_divmod(n, a, b)
        b = (1 << (64 * lb - 1)) + 1
        case_divmod(n, LIMB**n - 1, b)
        case_divmod(n, rand_limbs(n), LIMB + 1)
        case_divmod(n, rand_limbs(n), LIMB - 1)
        case_divmod(n, rand_limbs(n, "highbits"), rand_limbs(n, "highbits"))
    case_divmod(n, rand_limbs(min(n, 3)), 0)
    case_divmod(n, rand_limbs(max(1, n // 2)), rand_limbs(n // 2 + 1))
# the largest case of the performance goal: 2000 limbs by 1000 limbs
case_divmod(2000, rand_limbs(2000), rand_limbs(1000))

# --- roots --------------------------------------------------------------------------------------


def iroot(a, k):
    if a < 2:
        return a
    x = 1 << ((a.bit_length() + k - 1) // k)
    while True:
        y = ((k - 1) * x + a // x**(k - 1)) // k
        if y >= x:
            break
        x = y
    assert x**k <= a < (x + 1)**k
    return x


for n in SIZES:
    for _ in range(reps(n, 3, 1)):
        a = rand_limbs(random.randint(1, n))
        r = math.isqrt(a)
        emit("isqrt", n, h(a), "=", h(r), int(r * r == a))
    s = rand_limbs(max(1, n // 2))
    if 2 <= s and s * s < LIMB**n and n <= 520:
        emit("isqrt", n, h(s * s), "=", h(s), 1)
        emit("isqrt", n, h(s * s - 1), "=", h(s - 1), 0)
        emit("isqrt", n, h(s * s + 1), "=", h(s), 0)
    a = LIMB**n - 1
    emit("isqrt", n, h(a), "=", h(math.isqrt(a)), 0)
    for k in [3, 4, 5, 7, 13, 64, 65, 1000, 5000]:
        if n > 520 and k not in (3, 1000):
            continue
        a = rand_limbs(random.randint(1, n))
        r = iroot(a, k)
        emit("root", n, h(k), h(a), "=", h(r), int(r**k == a))
        x = rand_limbs(max(1, (64 * n - 1) // (64 * k) + 1)) >> random.randrange(8)
        if x >= 2 and x.bit_length() * k <= 64 * n:
            emit("root", n, h(k), h(x**k), "=", h(x), 1)
            emit("root", n, h(k), h(x**k - 1), "=", h(x - 1), 0)

# --- powers ---------------------------------------------------------------------------------------


def case_pow(n, a, e):
    if e == 0:
        r = 1
    elif a < 2:
        r = a
    elif (a.bit_length() - 1) * e >= 64 * n:
        r = None
    else:
        r = a**e
        if r >= LIMB**n:
            r = None
    emit("pow", n, h(a), h(e), "=", *((0, 200) if r is None else (h(r), 0)))


for n in [1, 2, 3, 8, 26, 65, 100, 520, 1039, 2000]:
    for _ in range(4):
        a = rand_limbs(random.randint(1, min(n, 2)))
        e = random.randint(1, (64 * n) // a.bit_length() + 2)
        case_pow(n, a, e)
    a = random.randrange(2, 1000)
    e = (64 * n) // a.bit_length()
    while a**e < LIMB**n:
        e += 1
    case_pow(n, a, e - 1)
    case_pow(n, a, e)
    case_pow(n, 3, 0)
    for e in [0, 1, 19, 20, 38, 39, 19 * n, 19 * n + 1, 20 * n, (64 * n * 3) // 10]:
        if n > 520 and e > 39 and e != 19 * n + 1 and e != 20 * n:
            continue
        r = 10**e
        emit("pow10", n, h(e), "=", *((h(r), 0) if r < LIMB**n else (0, 200)))

# --- logarithms -------------------------------------------------------------------------------------


def ilog(base, a):
    c, p = 0, 1
    while p * base <= a:
        p *= base
        c += 1
    return c, int(p == a)


for n in [1, 2, 5, 26, 65, 520, 2000]:
    for base in [3, 7, 10, 16, 1000, LIMB - 1, LIMB + 3]:
        if (n > 520 and base not in (3, 10, LIMB + 3)) or base >= LIMB**n:
            continue
        a = rand_limbs(random.randint(1, n))
        emit("log", n, h(base), h(a), "=", h(ilog(base, a)[0]), ilog(base, a)[1], 0)
        c = random.randint(1, max(1, (64 * n) // base.bit_length() - 1))
        if base**c < LIMB**n:
            for a in (base**c, base**c - 1):
                emit("log", n, h(base), h(a), "=", h(ilog(base, a)[0]), ilog(base, a)[1], 0)
    a = rand_limbs(n)
    emit("log", n, h(2), h(a), "=", h(a.bit_length() - 1), 0, 0)
    emit("log", n, h(2), h(1 << (64 * n - 1)), "=", h(64 * n - 1), 1, 0)
    emit("log", n, h(10), 0, "=", 0, 0, 200)
    emit("log", n, h(1), h(a), "=", 0, 0, 200)

# --- factorial and binomial coefficients ------------------------------------------------------


def limited(n, v):
    return (h(v), 0) if v < LIMB**n else (0, 200)


for n in [1, 2, 3, 26, 65, 520]:
    m = 1
    while math.factorial(m) < LIMB**n:
        m += 1
    for x in [0, 1, 2, 5, m - 1, m]:
        emit("factorial", n, h(x), "=", *limited(n, math.factorial(x)))
for n in [1, 2, 4, 26, 65]:
    cases = [(5, 7), (5, 0), (5, 5), (5, 2), (130, 65), (131, 65), (68, 34), (67, 33)]
    for _ in range(6):
        nn = random.randint(0, 64 * n + 40)
        cases.append((nn, random.randint(0, nn + 2)))
    # the largest C(m, m/2) that fits, where C * (m/2) before the exact division does not
    m = 2
    while math.comb(m + 2, (m + 2) // 2) < LIMB**n:
        m += 2
    cases += [(m, m // 2), (m + 2, (m + 2) // 2), (LIMB**n - 1, 1), (LIMB**n - 1, 2)]
    for nn, k in cases:
        if nn >= LIMB**n:
            continue
        for perm in (0, 1):
            if nn < k:
                v = 0
            else:
                v = math.perm(nn, k) if perm else math.comb(nn, k)
            emit("binomial", n, h(nn), h(k), perm, "=", *limited(n, v))

# --- gcd and lcm ------------------------------------------------------------------------------


def case_gcd(n, a, b):
    if a == 0 or b == 0:
        emit("gcd", n, h(a), h(b), "=", 0, 203, 0, 203)
        return
    g = math.gcd(a, b)
    emit("gcd", n, h(a), h(b), "=", h(g), 0, *limited(n, a // g * b))


for n in SIZES:
    for _ in range(reps(n, 3, 1)):
        case_gcd(n, rand_limbs(random.randint(1, n)), rand_limbs(random.randint(1, n)))
    g = rand_limbs(max(1, n // 3))
    x = rand_limbs(max(1, n // 3))
    y = rand_limbs(max(1, n // 3))
    if g * max(x, y) < LIMB**n:
        case_gcd(n, g * x, g * y)
    case_gcd(n, rand_limbs(n), 0)
fa, fb = 1, 1
while fa + fb < LIMB**40:  # consecutive Fibonacci numbers: every quotient is 1
    fa, fb = fb, fa + fb
case_gcd(40, fb, fa)
case_gcd(2, LIMB**2 - 1, LIMB - 1)
case_gcd(3, LIMB**3 - 1, LIMB**2 - 1)

# --- modular power --------------------------------------------------------------------------------


def case_powmod(n, b, e, m):
    if m == 0:
        emit("powmod", n, h(b), h(e), h(m), "=", 0, 202)
    else:
        emit("powmod", n, h(b), h(e), h(m), "=", h(pow(b, e, m)), 0)


for n in [1, 2, 3, 5, 8, 26, 33, 65, 130]:
    # exponents of up to 16 limbs, except two full-length ones at 65 limbs (the prime-test size)
    el = min(n, 16)
    for _ in range(5 if n <= 65 else 2):
        m = rand_limbs(random.randint(1, n))
        case_powmod(n, rand_limbs(random.randint(1, n)), rand_limbs(random.randint(1, el)), m)
    m = rand_limbs(n) | 1
    full = n if n <= 26 or n == 65 else el
    case_powmod(n, rand_limbs(n), rand_limbs(full), m)
    case_powmod(n, rand_limbs(n), rand_limbs(full), m & ~1 | 2)
    case_powmod(n, rand_limbs(n), rand_limbs(el), (m >> 70) << 70 if n >= 3 else m & ~1)
    case_powmod(n, rand_limbs(n), 0, m)
    case_powmod(n, rand_limbs(n), rand_limbs(el), 1)
    case_powmod(n, rand_limbs(n), rand_limbs(el), 0)
    case_powmod(n, 0, rand_limbs(el), m)
    case_powmod(n, m, rand_limbs(el), m)
    case_powmod(n, m - 1, 2, m)
    case_powmod(n, 2, rand_limbs(el), 1 << (64 * n - 1))
    case_powmod(n, LIMB**n - 1, LIMB**el - 1, LIMB**n - 1)

# --- text -------------------------------------------------------------------------------------------


def group(s, size):
    head = len(s) % size or size
    parts = [s[:head]] + [s[i:i + size] for i in range(head, len(s), size)]
    return "'".join(parts)


def fmt_text(v, flags):
    base = flags & 0xFF or 10
    out = "+" if flags & 0x1000 else ""
    if flags & 0x10000:
        if base != 10:
            return out + "[P]"
        d = str(v)
        exp = len(d) - 1
        if flags & 0x80000:
            d = d.rstrip("0") or "0"
        m = d[0] + ("." + d[1:] if len(d) >= 2 else "")
        return out + m + "e" + ("" if flags & 0x2000 else "+") + str(exp)
    if base not in (2, 8, 10, 16):
        return out + "[P]"
    s = {2: "b", 8: "o", 10: "d", 16: "x" if flags & 0x40000 else "X"}[base]
    s = format(v, s)
    if flags & 0x100:
        s = group(s, 3 if base == 10 else 4)
    return out + s


FLAG_SETS = [0x200, 16 | 0x40200, 10 | 0x300, 0x1300, 0x10200, 0x90200, 0x92200, 0x91200, 16 | 0x200,
             16 | 0x300, 16 | 0x40300, 8 | 0x300, 2 | 0x200, 2 | 0x300, 16 | 0x10200, 7 | 0x200]
for n in [1, 2, 3, 26, 65, 520, 2000]:
    values = [0, 1, LIMB**n - 1, rand_limbs(n), rand_limbs(random.randint(1, n)),
              10**((64 * n * 3) // 10) * random.randrange(1, 10), 1200, 5]
    if n > 65:
        values = values[2:4]
    for v in values:
        if v >= LIMB**n:
            continue
        for flags in FLAG_SETS:
            if n > 65 and flags not in (0x200, 10 | 0x300, 0x90200):
                continue
            emit("format", n, h(flags), h(v), "=", enc(fmt_text(v, flags)))


def case_parse(n, flags, text, v):
    if isinstance(v, int) and v >= LIMB**n:
        v = None
    if v is None:
        emit("parse", n, h(flags), enc(text), "=", 0, 200)
    elif v < 0:
        emit("parse", n, h(flags), enc(text), "=", 0, -v)
    else:
        emit("parse", n, h(flags), enc(text), "=", h(v), 0)


def sprinkle(digits, every):
    """Thousands separators at random places between digits."""
    out = [digits[0]]
    for c in digits[1:]:
        if random.random() < every:
            out.append("'")
        out.append(c)
    return "".join(out)


for n in [1, 2, 3, 26, 65, 520, 2000]:
    for _ in range(reps(n, 6, 1)):
        v = rand_limbs(random.randint(1, n))
        base = random.choice([2, 8, 10, 16])
        if base == 2 and n > 65:
            base = 16
        digits = fmt_text(v, base | 0x200)
        if base == 16 and random.random() < 0.5:
            digits = digits.lower()
        digits = "0" * random.randrange(3) + digits
        case_parse(n, base | 0x200, digits, v)
        text = " " * random.randrange(3) + "+" * random.randrange(2) + sprinkle(digits, 0.1)
        text += " " * random.randrange(3)
        case_parse(n, base | 0x300, text, v)
        if "'" in text:
            case_parse(n, base | 0x200, text, -301)
    # just above the limit, in every base
    top = LIMB**n
    for base in (2, 8, 10, 16):
        if (base in (2, 8) and n > 65) or (n > 520 and base == 16):
            continue
        case_parse(n, base | 0x200, fmt_text(top - 1, base | 0x200), top - 1)
        case_parse(n, base | 0x200, fmt_text(top, base | 0x200), None)
    # decimal exponents: a decimal point anywhere and an exponent that restores the integer
    for _ in range(reps(n, 6, 1)):
        v = rand_limbs(random.randint(1, n))
        d = str(v)
        zeros = random.randrange(4)
        p = random.randint(1, len(d))
        mant = d[:p] + ("." + d[p:] if p < len(d) else "")
        e = len(d) - p
        case_parse(n, 0x200, f"{mant}{'0' * zeros if p < len(d) else ''}e{e}", v)
        case_parse(n, 0x200, f"{mant}E+{e + 2}", v * 100)
        case_parse(n, 0x200, f"{d}00e-2", v if v * 100 < LIMB**n else None)
        if v % 10 != 0:
            case_parse(n, 0x200, f"{d}e-1", -301)
        case_parse(n, 0x200, f"{mant}1e{e}", -301 if p < len(d) else v * 10 + 1)
    case_parse(n, 0x200, "1e" + str(20 * n), None)
    case_parse(n, 0x200, "1e" + str((64 * n * 3) // 10), 10**((64 * n * 3) // 10))
    case_parse(n, 0x200, "1" + "0" * 1000 + "e-1000", 1 if 10**1000 < LIMB**n else None)
    case_parse(n, 0x200, "0e-999999", 0)
    case_parse(n, 0x200, "7e-9223372036854775807", -301)
    case_parse(n, 0x200, "7e9223372036854775807", None)
    case_parse(n, 0x200, "7e9223372036854775808", -301)

sys.stdout.write("# made by tests/data/gen_biguint.py with Python's integers; do not edit\n")
sys.stdout.write("\n".join(OUT) + "\n")
