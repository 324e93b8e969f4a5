#!/usr/bin/python3
"""Checks every digit of the eight constant tables in core/constant_tables.cpp against two
sources: an independent fixed-point computation in plain Python integers (Machin's formula
for pi, arctangent and area-tangent series for the rest, none of mpmath's code), and the
mpmath digits of tools/data/constants.txt. Exits with status 1 on any difference.

Run: /usr/bin/python3 tools/check_constants.py
"""
import os
import re
import sys

sys.set_int_max_str_digits(200000)
HERE = os.path.dirname(os.path.abspath(__file__))
GUARD = 60


def atan_inv(x, one):
    """arctan(1/x) * one, by the alternating series; error below 2 units per 1000 terms."""
    total = term = one // x
    x2, k, sign = x * x, 1, -1
    while term:
        term //= x2
        total += sign * (term // (2 * k + 1))
        sign, k = -sign, k + 1
    return total


def atanh_inv(x, one):
    """artanh(1/x) * one, positive series."""
    total = term = one // x
    x2, k = x * x, 1
    while term:
        term //= x2
        total += term // (2 * k + 1)
        k += 1
    return total


def independent(digits):
    """Each constant as an integer c with c / 10^(digits + GUARD) approximating the value."""
    one = 10 ** (digits + GUARD)
    ln2 = 2 * atanh_inv(3, one)
    ln10 = 3 * ln2 + 2 * atanh_inv(9, one)  # ln 10 = 3 ln 2 + ln(5/4)
    return {
        "pi/4": 4 * atan_inv(5, one) - atan_inv(239, one),
        "ln(1.2)": 2 * atanh_inv(11, one),  # ln(6/5)
        "ln(1.01)": 2 * atanh_inv(201, one),  # ln(101/100)
        "ln(2)": ln2,
        "atan(1/351)": atan_inv(351, one),
        "ln(10)": ln10,
        "1/ln(10)": one * one // ln10,
        "atan(1/21)": atan_inv(21, one),
    }


def significant(value, digits):
    """The leading `digits` digits and the exponent of a fixed-point value (scale 10^(digits+GUARD))."""
    s = str(value)
    exponent = len(s) - 1 - (digits + GUARD)
    return s[:digits], exponent, s[digits:digits + GUARD - 10]


def read_tables():
    src = open(os.path.join(HERE, "..", "core", "constant_tables.cpp")).read()
    tables = {}
    for m in re.finditer(r"// (\S+)\nconst ConstantTable<(\d+)> \w+ = \{\{(\d+), 0, (\d), (-?\d+)\}, \{(.*?)\}\};", src, re.S):
        name, n, count, sign, exp, body = m.groups()
        limbs = [int(t) for t in re.findall(r"(\d+)ULL", body)]
        assert int(n) == int(count) == len(limbs), name
        assert sign == "0" and limbs[0] >= 10 ** 18, name
        tables[name] = (int(exp), "".join(f"{l:019d}" for l in limbs))
    return tables


def main():
    tables = read_tables()
    assert len(tables) == 8, tables.keys()
    digits = max(len(d) for _, d in tables.values())
    ref = independent(digits)
    mp = {}
    for line in open(os.path.join(HERE, "data", "constants.txt")):
        if not line.startswith("#"):
            name, exp, ds = line.split()
            mp[name] = (int(exp), ds)
    bad = 0
    for name, (exp, ds) in tables.items():
        want, want_exp, following = significant(ref[name], len(ds))
        # A run of 9s or 0s right after the checked digits would make truncation ambiguous.
        assert following.strip("9") and following.strip("0"), name
        ok = exp == want_exp and ds == want and mp[name][0] == exp and mp[name][1].startswith(ds)
        print(f"{name:12} exponent {exp:3} {len(ds)} digits: {'ok' if ok else 'MISMATCH'}")
        bad += not ok
    sys.exit(1 if bad else 0)


main()
