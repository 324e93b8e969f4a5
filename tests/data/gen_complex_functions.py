#!/usr/bin/python3
"""Writes complex_functions.txt: complex elementary functions at 16, 100 and 1000 digits,
computed by mpmath with three times the digits and 3000 more and rounded half up to P digits part by part.

Run: /usr/bin/python3 tests/data/gen_complex_functions.py > tests/data/complex_functions.txt
Line: fn P ar ai [br bi] = re im   (numbers as  sign digits exponent, or 0; logx and pow take
two arguments: logx b z, pow z w)

A part that mpmath only gets as rounding noise (it shrinks by the added digits when computed
again with 60 more) is an exact zero and written as 0.

Branch cuts: mpmath takes the value on a cut from the side reached counter-clockwise around the
cut's finite end; the points exactly on a cut (imaginary or real part 0) carry that convention.
"""
import random
import sys

import mpmath as mp

random.seed(2027)

ONE_ARG = ["exp", "ln", "log10", "log2", "sin", "cos", "tan", "sinh", "cosh", "tanh",
           "asin", "acos", "atan", "asinh", "acosh", "atanh"]


def mp_fn(name):
    table = {"ln": mp.log, "log10": lambda z: mp.log(z, 10), "log2": lambda z: mp.log(z, 2),
             "logx": lambda b, z: mp.log(z) / mp.log(b), "pow": mp.power}
    return table.get(name) or getattr(mp, name)


def rnd(p, e):
    """A random p-digit decimal string with leading digit at exponent e."""
    ds = str(random.randint(1, 9)) + "".join(random.choice("0123456789") for _ in range(p - 1))
    return f"{'-' if random.random() < 0.5 else ''}{ds[0]}.{ds[1:]}e{e}"


def norm(s, p):
    """A decimal string rounded to p digits (our inputs must fit the precision)."""
    x = mp.mpf(s)
    if x == 0:
        return "0"
    neg, ds, e = digits_of(x, p)
    return f"{'-' if neg else ''}{ds[0]}.{ds[1:]}e{e}"


def digits_of(x, p):
    """(negative, p digits rounded half up on the magnitude, exponent of the leading digit)."""
    ax = abs(x)
    e = int(mp.floor(mp.log10(ax)))
    for _ in range(3):
        m = int(mp.floor(ax / mp.mpf(10) ** (e - p - 24)))
        n = len(str(m))
        if n == p + 25:
            break
        e += n - (p + 25)
    ds = str(m)
    head = int(ds[:p])
    if int(ds[p]) >= 5:
        head += 1
    ds = str(head)
    if len(ds) > p:
        ds = ds[:p]
        e += 1
    return x < 0, ds, e


def fmt(x, p):
    if x == 0:
        return "0"
    neg, ds, e = digits_of(x, p)
    return f"{'-' if neg else '+'} {ds} {e}"


def fmt_arg(s, p):
    if s in ("0", "-0"):
        return "0"
    return fmt(mp.mpf(s), p)


def evaluate(name, args, dps):
    with mp.workdps(dps):
        zs = [mp.mpc(mp.mpf(a), mp.mpf(b)) for a, b in args]
        return mp.mpc(mp_fn(name)(*zs))


def reference(name, args, p):
    # mpmath's working precision is absolute enough that parts far smaller than the other part
    # (1e-500 next to 1e500) need some thousand digits more.
    extreme = any(abs(mp.mpf(v)) > 10 ** 100 or 0 < abs(mp.mpf(v)) < mp.mpf(10) ** -100
                  for arg in args for v in arg)
    dps = 3 * p + (3000 if extreme else 60)
    a = evaluate(name, args, dps)
    b = evaluate(name, args, dps + 60)
    parts = []
    with mp.workdps(dps + 60):
        for pa, pb in ((a.real, b.real), (a.imag, b.imag)):
            if pb == 0:
                parts.append(mp.mpf(0))
            elif pa == 0 or mp.log10(abs(pb)) < mp.log10(abs(pa)) - 30:
                parts.append(mp.mpf(0))  # rounding noise of an exact zero
            else:
                parts.append(pb)
        return [fmt(v, p) for v in parts]


def points(p):
    """Arguments (re, im) as decimal strings, all within p digits."""
    h = p // 2
    pi = mp.nstr(mp.pi, p + 5, strip_zeros=False)
    pts = []
    # four quadrants at several sizes
    for e in (-3, -1, 0, 1):
        for sr in (1, -1):
            for si in (1, -1):
                a, b = rnd(p, e).lstrip("-"), rnd(p, e + random.choice((-1, 0, 1))).lstrip("-")
                pts.append((("-" if sr < 0 else "") + a, ("-" if si < 0 else "") + b))
    # on and near the real and imaginary axes, both sides
    for x in ("2", "-2", "0.5", "-0.5", "1", "-1", "3.75", "-1.25"):
        pts.append((x, "0"))
        pts.append((x, f"1e-{h}"))
        pts.append((x, f"-1e-{h}"))
    for y in ("2", "-2", "0.5", "1", "-1", "-3.5"):
        pts.append(("0", y))
        pts.append((f"1e-{h}", y))
        pts.append((f"-1e-{h}", y))
    # next to the unit circle and to +-1
    pts += [("0.6", "0.8"), ("-0.8", "0.6"), (f"1.{'0' * (h - 2)}1", f"1e-{p}"),
            (f"0.{'9' * (h)}", f"1e-{h + 3}"), ("1", f"1e-{p + 7}"), ("-1", f"2e-{h}")]
    # next to zeros of sin and cos and poles of tan
    pts += [(pi[: p + 1], "1e-3"), (pi[: p + 1], f"-1e-{h}"), ("1.5707963267948966", "0.25")]
    # parts of very different sizes
    pts += [("1e-500", "1e500"), ("1e500", "1e-500"), ("-1e-500", "-1e500"), ("1e-500", "1e-600"),
            ("-3e-400", "2.5")]
    return [(norm(a, p), norm(b, p)) for a, b in pts]


def allowed(name, x, y):
    with mp.workdps(60):
        ax, ay = abs(mp.mpf(x)), abs(mp.mpf(y))
        if name in ("exp", "sinh", "cosh", "tanh") and ay > 10 ** 15:
            return False  # the sine of the imaginary part is out of range
        if name in ("sin", "cos", "tan") and ax > 10 ** 15:
            return False
        # results (or their small parts) beyond the exponent range of 2^62
        if name in ("exp", "sinh", "cosh", "tanh") and ax > 10 ** 5:
            return False
        if name in ("sin", "cos", "tan") and ay > 10 ** 5:
            return False
        if name in ("atanh",) and ax == 1 and ay == 0:
            return False
        if name in ("atan",) and ay == 1 and ax == 0:
            return False
        if name in ("ln", "log10", "log2") and ax == 0 and ay == 0:
            return False
    return True


def two_arg_cases(p):
    pts = []
    third = "0." + "3" * p
    pts.append(("pow", ("-8", "0"), (third, "0")))
    pts.append(("pow", ("-1", "0"), ("0.5", "0")))
    pts.append(("pow", ("-2.5", "0"), ("1.75", "0")))
    pts.append(("pow", ("0", "1"), ("0", "1")))
    pts.append(("pow", ("1", "1"), ("0.5", "0")))
    pts.append(("pow", ("2", "0"), ("0", "3")))
    pts.append(("pow", ("0", "-4"), ("2.5", "0")))
    pts.append(("pow", ("0", "3"), ("-0.75", "0.5")))
    pts.append(("pow", ("1e-5", "2"), ("-2.5", "1.5")))
    pts.append(("pow", ("-1e300", "1e-300"), ("0.25", "-1e-3")))
    pts.append(("pow", ("1", "1e-30"), ("1e40", "0")))
    for _ in range(4):
        pts.append(("pow", (rnd(p, 0), rnd(p, 0)), (rnd(p, 0), rnd(p, -1))))
    pts.append(("logx", ("10", "0"), ("-100", "0")))
    pts.append(("logx", ("0", "1"), ("-1", "0")))
    pts.append(("logx", ("2", "3"), ("-5", "7")))
    pts.append(("logx", ("-2", "0"), ("8", "0")))
    pts.append(("logx", ("0.5", "0.5"), ("1e-300", "1e300")))
    for _ in range(3):
        pts.append(("logx", (rnd(p, 0), rnd(p, 0)), (rnd(p, 1), rnd(p, -1))))
    return [(n, (norm(a[0], p), norm(a[1], p)), (norm(b[0], p), norm(b[1], p)))
            for n, a, b in pts]


def main():
    print("# made by tests/data/gen_complex_functions.py with mpmath; do not edit")
    for p in PRECISIONS:
        mp.mp.dps = 4 * p + 3200
        pts = points(p)
        for name in ONE_ARG:
            for x, y in pts:
                if not allowed(name, x, y):
                    continue
                re, im = reference(name, [(x, y)], p)
                print(f"{name} {p} {fmt_arg(x, p)} {fmt_arg(y, p)} = {re} {im}")
        for name, a, b in two_arg_cases(p):
            re, im = reference(name, [a, b], p)
            print(f"{name} {p} {fmt_arg(a[0], p)} {fmt_arg(a[1], p)} "
                  f"{fmt_arg(b[0], p)} {fmt_arg(b[1], p)} = {re} {im}")


PRECISIONS = [int(a) for a in sys.argv[1:]] or [16, 100, 1000]
main()
