#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/seed_*.

The input layouts are described at the top of each tests/fuzz/fuzz_<target>.cpp. Numbers come
from the reference data in tests/data where that has them. Run again after changing a layout."""
import os
import re

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CORPUS = os.path.join(ROOT, "tests", "fuzz", "corpus")


def write(target, seeds):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    for i, data in enumerate(seeds, 1):
        with open(os.path.join(folder, "seed_%02d" % i), "wb") as f:
            f.write(data)


def settings_file(variables=(), **values):
    v = {"language": "(automatic)", "decimal_separator": "(automatic)",
         "thousands_separator": "(automatic)", "thousands_sep_sci_calc": "0",
         "thousands_sep_equations": "0", "thousands_sep_prime_nums": "0",
         "angle_type": "rad", "number_type": "real", "decimal_precision": "0",
         "output_number_base": "10", "use_lower_case_hex": "0", "show_welcome_hint": "1"}
    v.update(values)
    lines = ["[options]"] + ["%s = %s" % (k, v[k]) for k in list(v)[:6]]
    lines += ["[scientific_calculator]"] + ["%s = %s" % (k, v[k]) for k in list(v)[6:11]]
    lines += ["variable%02d = %s;%s" % (i, n, val) for i, (n, val) in enumerate(variables)]
    lines += ["[hints]", "show_welcome_hint = %s" % v["show_welcome_hint"]]
    return ("\r\n".join(lines) + "\r\n").encode("utf-16-le", "surrogatepass")


# Settings: byte 0 even puts the byte-order mark in front.
write("settings", [
    b"\x00" + settings_file(),
    b"\x00" + settings_file([("x", "12.5"), ("\u03c0x", "-1"), ("big", "1e-12")],
                            language="German", decimal_separator="comma",
                            thousands_separator="space_U202F", angle_type="gon",
                            number_type="rat", decimal_precision="10000",
                            output_number_base="16", show_welcome_hint="0"),
    # A NUL inside a value, a lone surrogate, equal separators, a precision out of range.
    b"\x00" + settings_file([("a", "1\x002"), ("9bad", "\ud835")], decimal_separator="point",
                            thousands_separator="point", decimal_precision="2147483647"),
    b"\x01\xff\xfe" + settings_file(),
])


def numbers_seed(type_index, flags, digits_bytes, base_byte, text):
    return bytes([type_index | flags, digits_bytes[0], digits_bytes[1], base_byte]) + \
        text.encode("utf-8", "surrogatepass")


SMALL = (0x00, 20)    # 21 digits, 1 limb ... 8
LARGE = (0xF0, 0x00)  # about 9,000 digits


def reference_texts(name, pattern, count):
    out = []
    with open(os.path.join(ROOT, "tests", "data", name)) as f:
        for line in f:
            out += re.findall(pattern, line)
            if len(out) >= count:
                break
    return out[:count]


numbers = [numbers_seed(0, 0, SMALL, 0, t) for t in
           ["12345.678e-9", "-0.000001", "1.5E+300", "0"]]
numbers += [numbers_seed(0, 0x04, SMALL, 0x20, "1'234'567.25")]
numbers += [numbers_seed(0, 0x10, SMALL, 0, t) for t in ["inf", "-\u221e", "NaN"]]
numbers += [numbers_seed(0, 0, LARGE, 0, "3." + "1415926535" * 150 + "e-20")]
numbers += [numbers_seed(1, 0, SMALL, 0, t) for t in ["3+4i", "-2.5-(-1)i", "i", "1e5-7i"]]
numbers += [numbers_seed(2, 0, SMALL, b, t) for b, t in
            [(1, "ffffffffa29fa5d4"), (2, "101101"), (3, "777"), (0, "1.5e3")]]
numbers += [numbers_seed(2, 0, LARGE, 0, "9" * 3000)]
numbers += [numbers_seed(3, 0, SMALL, 0, t) for t in
            reference_texts("rational.txt", r"-?\d+/\d+", 4) + ["-2.75", "1e-3"]]
write("numbers", numbers)

# Polynomial cells: byte 0 type (0 real, 1 complex, 2 rational), bytes 1-2 digits, cells
# separated by 0x1F.
poly = []
with open(os.path.join(ROOT, "tests", "data", "polynomials_window.txt")) as f:
    rows = [line.split()[1] for line in f if not line.startswith("#")][:6]
for i, row in enumerate(rows):
    poly.append(bytes([i % 3, 0, 30]) + "\x1f".join(row.split(",")).encode())
poly.append(bytes([1, 0, 30]) + "1+2i\x1fsqrt(-4)\x1f  \x1f(3-i)/2".encode())
poly.append(bytes([0, 0xF0, 0]) + "pi\x1fe^2\x1f1/7".encode())
write("polynomial", poly)

# Linear page files: byte 0 is where the bytes are split into two blocks.
write("linear_csv", [
    b"\x05a1;a2;b\r\n1;2;3\r\n4;5;6\r\n",
    b"\x00a1;a2;a3;b\n1;0;0;1\n0;\"gcd(4;6)\";0;2\n0;0;\"\"\"q\";3\n",
    b"\x10a1;a2;b\r\n\xe4;\xf6;1\r\n1/2;-3;7\r\n",
    "\x03a1;a2;b\r\n\u03c0;\u221a2;1\r\n2;3;4\r\n".encode(),
    b"\x01;\r\n1;2\r\n",
])

write("cli_options", [
    b"--type\x00rat\x00--digits\x00100\x001/3+1",
    b"eval\x00-t\x00uint\x00-b\x0016\x00ff*2",
    b"--group\x00--decimal\x00comma\x00--thousands\x00point\x00-1,5",
    b"--digits\x0010005\x00--no-guard\x00--\x00-x",
    b"--var\x00x=3\x00--lang\x00de\x00x^2",
    b"--help",
])

write("history", [
    b"1+2\n\n3*4\r\nsqrt(2)\n",
    b"x\nx\ny\r\r\n \t\nlast",
    "\u03c0*2\n\xff\xfe\n".encode("utf-8", "surrogateescape"),
])
