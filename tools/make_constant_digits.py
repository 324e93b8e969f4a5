#!/usr/bin/python3
"""Writes tools/data/constants.txt: DIGITS truncated significant digits of each built-in
constant, computed with mpmath's own functions at DIGITS + 100 digits.

Run: /usr/bin/python3 tools/make_constant_digits.py > tools/data/constants.txt
Then: /usr/bin/python3 tools/gen_constants.py > core/constant_tables.cpp
and check the result with tools/check_constants.py (an independent computation).
"""
import sys

import mpmath

sys.set_int_max_str_digits(100000)

DIGITS = 10700
mpmath.mp.dps = DIGITS + 100
mpf = mpmath.mpf
CONSTANTS = [
    ("pi/4", mpmath.pi / 4),
    ("ln(1.2)", mpmath.log(mpf(12) / 10)),
    ("ln(1.01)", mpmath.log(mpf(101) / 100)),
    ("ln(2)", mpmath.log(2)),
    ("atan(1/351)", mpmath.atan(mpf(1) / 351)),
    ("ln(10)", mpmath.log(10)),
    ("1/ln(10)", 1 / mpmath.log(10)),
    ("atan(1/21)", mpmath.atan(mpf(1) / 21)),
]

print(f"# name exponent digits: value = d1.d2d3... x 10^exponent, {DIGITS} significant digits,"
      " truncated (not rounded); mpmath at", DIGITS + 100, "digits")
for name, v in CONSTANTS:
    e = int(mpmath.floor(mpmath.log10(v)))
    scaled = int(mpmath.floor(v * mpf(10) ** (DIGITS - 1 - e)))
    s = str(scaled)
    assert len(s) == DIGITS, (name, len(s))
    print(name, e, s)
