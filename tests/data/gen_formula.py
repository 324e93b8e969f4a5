#!/usr/bin/python3
"""Writes formula.txt: formulas and their values in every number type, computed independently
with Python's decimal and fractions modules and mpmath.

Real results are rounded half up to P digits after every operation, as the engine does:
a function value is the exact value rounded once, an operator rounds its exact result.
Run: /usr/bin/python3 tests/data/gen_formula.py > tests/data/formula.txt
Line: type <TAB> P (digits; BigUInt limbs for uint and rational) <TAB> formula <TAB> value
"""
import math
import sys
from decimal import Decimal, Context, ROUND_HALF_UP
from fractions import Fraction
import mpmath

sys.set_int_max_str_digits(100000)
lines = []


def emit(kind, p, formula, value):
    lines.append(f"{kind}\t{p}\t{formula}\t{value}")


def rnd(x, p):
    """An mpmath number or Decimal rounded half up to p digits, as a Decimal."""
    if isinstance(x, Decimal):
        return Context(prec=p, rounding=ROUND_HALF_UP).plus(x)
    return Context(prec=p, rounding=ROUND_HALF_UP).plus(Decimal(mpmath.nstr(x, 2 * p + 40, strip_zeros=False)))


def text(d):
    return format(d, "E") if d != 0 else "0"


# --- real: single functions, correctly rounded -------------------------------------------------
def real_functions(p):
    mpmath.mp.dps = 2 * p + 60
    m = mpmath
    deg = m.pi / 180
    gon = m.pi / 200
    table = [
        ("sqrt(2)", m.sqrt(2)), ("cbrt(2)", m.cbrt(2)), ("cbrt(-5)", -m.cbrt(5)),
        ("ln(2)", m.log(2)), ("log2(10)", m.log(10, 2)), ("log10(2)", m.log10(2)),
        ("exp(1)", m.e), ("exp(-2.5)", m.exp(-2.5)), ("exp(100)", m.exp(100)),
        ("sin(1)", m.sin(1)), ("cos(1)", m.cos(1)), ("tan(1)", m.tan(1)),
        ("sin(100)", m.sin(100)), ("tan(-0.5)", m.tan(-0.5)),
        ("asin(0.5)", m.asin(0.5)), ("acos(0.25)", m.acos(0.25)), ("atan(2)", m.atan(2)),
        ("sind(1)", m.sin(deg)), ("cosd(10)", m.cos(10 * deg)), ("tand(89)", m.tan(89 * deg)),
        ("sing(1)", m.sin(gon)), ("cosg(33)", m.cos(33 * gon)), ("tang(-150)", m.tan(-150 * gon)),
        ("sind(1000000000)", m.sin(10**9 * deg)),
        ("asind(0.3)", m.asin(m.mpf("0.3")) / deg), ("acosd(-0.7)", m.acos(m.mpf("-0.7")) / deg),
        ("atand(3)", m.atan(3) / deg), ("asing(0.3)", m.asin(m.mpf("0.3")) / gon),
        ("acosg(0.1)", m.acos(m.mpf("0.1")) / gon), ("atang(-7)", m.atan(-7) / gon),
        ("sinh(1)", m.sinh(1)), ("cosh(1)", m.cosh(1)), ("sinh(50)", m.sinh(50)),
        ("cosh(-3)", m.cosh(-3)), ("tanh(0.5)", m.tanh(0.5)), ("asinh(1)", m.asinh(1)),
        ("acosh(2)", m.acosh(2)), ("atanh(0.5)", m.atanh(0.5)),
        ("fact(30)", m.factorial(30)),
        ("root(3;10)", m.cbrt(10)), ("root(7;2)", m.root(2, 7)),
        ("logx(2;10)", m.log(10, 2)), ("logx(0.5;3)", m.log(3, 0.5)),
        ("2^0.5", m.sqrt(2)), ("10^0.5", m.sqrt(10)), ("2^(-1.5)", m.power(2, -1.5)),
        ("3^0.5", m.sqrt(3)), ("1.5^2.5", m.power(1.5, 2.5)), ("2^100", m.mpf(2) ** 100),
        ("3^40", m.mpf(3) ** 40), ("7^(-3)", m.mpf(7) ** -3), ("2^64", m.mpf(2) ** 64),
        ("10^(-5)", m.mpf(10) ** -5), ("pi", m.pi), ("ncr(10.5;3)", m.binomial(10.5, 3)),
    ]
    for f, v in table:
        emit("real", p, f, text(rnd(v, p)))


def real_expressions(p):
    mpmath.mp.dps = 2 * p + 60
    c = Context(prec=p, rounding=ROUND_HALF_UP)
    fn = lambda v: rnd(v, p)
    d = Decimal
    # sin(1)+cos(1)*exp(2)/3: the function values rounded, then each operation rounded.
    s1, c1, e2 = fn(mpmath.sin(1)), fn(mpmath.cos(1)), fn(mpmath.exp(2))
    emit("real", p, "sin(1)+cos(1)*exp(2)/3", text(c.add(s1, c.divide(c.multiply(c1, e2), d(3)))))
    emit("real", p, "1/3", text(c.divide(d(1), d(3))))
    emit("real", p, "2/3+1/3", text(c.add(c.divide(d(2), d(3)), c.divide(d(1), d(3)))))
    emit("real", p, "10/7*7", text(c.multiply(c.divide(d(10), d(7)), d(7))))
    emit("real", p, "1.25*3.5-0.0625", text(c.subtract(c.multiply(d("1.25"), d("3.5")), d("0.0625"))))
    emit("real", p, "((1+2)*3-4)/5", "1")
    emit("real", p, "-1/7", text(c.divide(d(-1), d(7))))
    emit("real", p, "1/(-7)", text(c.divide(d(1), d(-7))))
    emit("real", p, "0.1*3", "0.3")
    emit("real", p, "2*pi", text(c.multiply(d(2), fn(mpmath.pi))))
    emit("real", p, "pi*pi", text(c.multiply(fn(mpmath.pi), fn(mpmath.pi))))
    emit("real", p, "pi/4", text(c.divide(fn(mpmath.pi), d(4))))
    emit("real", p, "1e20+1-1e20", text(c.subtract(c.add(d("1e20"), d(1)), d("1e20"))))
    emit("real", p, "7.5 mod 2", "1.5")
    emit("real", p, "-7 mod 2", "-1")
    emit("real", p, "7 mod (-2)", "1")
    emit("real", p, "123456789.123 mod 0.001", "0")
    emit("real", p, "(-3)^3", "-27")
    emit("real", p, "(-2)^(-2)", "0.25")
    emit("real", p, "0^0", "1")


# --- complex ------------------------------------------------------------------------------------
def complex_cases(p):
    mpmath.mp.dps = 2 * p + 60
    fn = lambda v: rnd(v, p)
    ct = lambda re, im: f"{text(fn(re))}+({text(fn(im))})i"
    emit("complex", p, "(1+2i)*(3-4i)", "11+2i")
    emit("complex", p, "(1+2i)/(3-4i)", "-0.2+0.4i")
    emit("complex", p, "i*i", "-1")
    emit("complex", p, "(1+i)^2", "0+2i")
    emit("complex", p, "(1+i)^(-2)", "0-0.5i")
    emit("complex", p, "2^3+i", "8+1i")
    emit("complex", p, "-i", "0-1i")
    emit("complex", p, "abs(3+4i)", "5")
    emit("complex", p, "realp(3+4i)", "3")
    emit("complex", p, "imagp(3+4i)", "4")
    emit("complex", p, "sqrtc(-4;0)", "0+2i")
    emit("complex", p, "sqrtc(-4;1)", "0-2i")
    z = mpmath.root(mpmath.mpc(8, 0), 3, 1)
    emit("complex", p, "cbrtc(8;1)", ct(z.real, z.imag))
    z = mpmath.root(mpmath.mpc(3, 4), 5, 2)
    emit("complex", p, "rootc(3+4i;5;2)", ct(z.real, z.imag))
    emit("complex", p, "rootc(16;4;1)", "0+2i")
    emit("complex", p, "sqrtc(0;1)", "0")
    emit("complex", p, "arg(1i)", text(fn(mpmath.pi / 2)))
    emit("complex", p, "arg(-1-i)", text(fn(-3 * mpmath.pi / 4)))
    emit("complex", p, "argd(1+i)", "45")
    emit("complex", p, "argd(-1)", "180")
    emit("complex", p, "argg(1+i)", "50")
    emit("complex", p, "argd(1+2i)", text(fn(mpmath.atan(2) * 180 / mpmath.pi)))
    emit("complex", p, "sin(1)", text(fn(mpmath.sin(1))))
    emit("complex", p, "exp(1)", text(fn(mpmath.e)))
    emit("complex", p, "ln(2)", text(fn(mpmath.log(2))))
    emit("complex", p, "root(3;-27)", "-3")
    emit("complex", p, "7 mod 2", "1")
    emit("complex", p, "2^0.5", text(fn(mpmath.sqrt(2))))
    emit("complex", p, "10^2.5", text(fn(mpmath.power(10, 2.5))))
    emit("complex", p, "trunc(2.5-3.7i)", "2-3i")
    emit("complex", p, "frac(2.5-3.7i)", "0.5-0.7i")
    emit("complex", p, "round(2.5-3.4i)", "3-3i")
    emit("complex", p, "gcd(12;18)", "6")
    emit("complex", p, "fact(5)", "120")
    emit("complex", p, "3*(1+2i)", "3+6i")
    emit("complex", p, "(1+2i)*(-3)", "-3-6i")
    emit("complex", p, "(2+4i)/(-2)", "-1-2i")


# --- unsigned integer and rational ------------------------------------------------------------
def integer_cases():
    u = lambda f, v: emit("uint", 8, f, str(v))
    u("7/2", 3)
    u("sqrt(10)", 3)
    u("sqrt(9)", 3)
    u("2^64", 2**64)
    u("2^200", 2**200)
    u("10^30+1", 10**30 + 1)
    u("0xFF+0y101+0t17", 255 + 5 + 15)
    u("0x1e5", 0x1E5)
    u("3^100", 3**100)
    u("12345678901234567890*98765432109876543210", 12345678901234567890 * 98765432109876543210)
    u("(2^200+12345)/(2^70+1)", (2**200 + 12345) // (2**70 + 1))
    u("(2^200+12345) mod (2^70+1)", (2**200 + 12345) % (2**70 + 1))
    u("17 mod 5", 2)
    u("log2(8)", 3)
    u("log2(9)", 3)
    u("log10(999)", 2)
    u("cbrt(27)", 3)
    u("cbrt(28)", 3)
    u("root(4;81)", 3)
    u("root(5;2^100)", 2**20)
    u("logx(3;81)", 4)
    u("logx(7;10^20)", max(k for k in range(40) if 7**k <= 10**20))
    u("powmod(2;100;1000000007)", pow(2, 100, 1000000007))
    u("powmod(3;2^100;10^20+39)", pow(3, 2**100, 10**20 + 39))
    u("fact(25)", math.factorial(25))
    u("ncr(50;25)", math.comb(50, 25))
    u("npr(10;3)", math.perm(10, 3))
    u("gcd(2^64;6^30)", math.gcd(2**64, 6**30))
    u("lcm(12;18)", 36)
    u("trunc(5)+frac(5)+round(5)", 10)
    u("abs(5)", 5)
    u("1.5e1", 15)
    u("2^10^2", 2**100)

    q = lambda f, v: emit("rational", 8, f, f"{v.numerator}/{v.denominator}" if v.denominator != 1 else str(v.numerator))
    F = Fraction
    q("1/3+1/6", F(1, 2))
    q("2/3*3/4", F(1, 2))
    q("(2/3)/(4/9)", F(3, 2))
    q("(4/9)^(1/2)", F(2, 3))
    q("(-8/27)^3", F(-512, 19683))
    q("cbrt(27/8)", F(3, 2))
    q("cbrt(-27/8)", F(-3, 2))
    q("sqrt(9/4)", F(3, 2))
    q("log2(1/8)", F(-3))
    q("log10(1/1000)", F(-3))
    q("logx(2;1/8)", F(-3))
    q("ncr(1/2;2)", F(-1, 8))
    q("npr(1/2;2)", F(-1, 4))
    q("7 mod 2", F(1))
    q("-7 mod 2", F(-1))
    q("trunc(-7/2)", F(-3))
    q("frac(-7/2)", F(-1, 2))
    q("round(7/2)", F(4))
    q("round(-7/2)", F(-4))
    q("round(5/3)", F(2))
    q("round(4/3)", F(1))
    q("round(-1/3)", F(0))
    q("2^(-2)", F(1, 4))
    q("10^(-3)", F(1, 1000))
    q("2^100/3^40", F(2**100, 3**40))
    q("fact(20)", F(math.factorial(20)))
    q("gcd(12;18)", F(6))
    q("lcm(4;6)", F(12))
    q("root(3;-27/64)", F(-3, 4))
    q("abs(-5/7)", F(5, 7))
    q("-5/7*14", F(-10))
    q("1/7*(-14)", F(-2))
    q("(1/3)^(-3)", F(27))
    q("1/3-1/3", F(0))
    s = sum(F(1, k) for k in range(1, 21))
    q("+".join(f"1/{k}" for k in range(1, 21)), s)


for p in (16, 50):
    real_functions(p)
    real_expressions(p)
    complex_cases(p)
integer_cases()
print("# Generated by tests/data/gen_formula.py; do not edit.")
print("\n".join(lines))
