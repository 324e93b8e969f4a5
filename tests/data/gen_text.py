#!/usr/bin/python3
"""Prints the golden tables kParseCases and kFormatCases of tests/core/test_text.cpp.
Run: /usr/bin/python3 tests/data/gen_text.py"""
# Golden strings for tests/core/test_text.cpp, computed with Python's decimal module.
import random
from decimal import Decimal, Context, ROUND_HALF_UP, MAX_EMAX, MIN_EMIN

G, FIX, PLUS, NOEP, KEEP, FFP, FSCI, STRIP = 0x100, 0x200, 0x1000, 0x2000, 0x4000, 0x8000, 0x10000, 0x80000

MAXE = 2**62 - 1

def value(p, text):
    """(negative, P digits, E) of text rounded half up to p digits; E may be any Python int."""
    t = text.lower()
    m, ex = (t.split('e') + ['0'])[:2]
    d = Context(prec=p, rounding=ROUND_HALF_UP).create_decimal(m)
    neg = d.is_signed()
    if d.is_zero(): return neg, '0' * p, 0
    ds = ''.join(map(str, d.as_tuple().digits))
    return neg, (ds + '0' * p)[:p], d.adjusted() + int(ex)

def layout(v, p, flags, dec='.', th="'", lo=-4, hi=10):
    if flags & FIX: dec, th = '.', "'"
    neg, ds, e = v
    zero = ds.strip('0') == ''
    out = ''
    if e > MAXE: return ('-' if neg else ('+' if flags & PLUS else '')) + '\u221e'
    if e < -MAXE: zero, ds, e = True, '0' * p, 0
    if zero: out += ('-' if neg else '+') if flags & PLUS else ''
    else: out += '-' if neg else ('+' if flags & PLUS else '')
    if flags & FFP: sci, strip = False, bool(flags & STRIP)
    elif flags & FSCI: sci, strip = True, bool(flags & STRIP)
    else: sci, strip = (e <= lo or e >= hi), True
    if sci:
        frac = ds[1:].rstrip('0') if strip else ds[1:]
        m = ds[0] + (dec + frac if frac else (dec + '0' if flags & KEEP else ''))
        return out + m + 'e' + ('-' if e < 0 else ('' if flags & NOEP else '+')) + str(abs(e))
    if e >= 0:
        ip = (ds + '0' * (e + 1))[:e + 1]
        if flags & G:
            groups = []
            while len(ip) > 3: groups.insert(0, ip[-3:]); ip = ip[:-3]
            ip = th.join([ip] + groups)
        fp = ds[e + 1:]
    else:
        ip, fp = '0', '0' * (-e - 1) + ds
    if strip: fp = fp.rstrip('0')
    if not fp and flags & KEEP: fp = '0'
    return out + ip + (dec + fp if fp else '')

def raw(v, p):
    neg, ds, e = v
    if e > MAXE: return ('-' if neg else '') + 'inf'
    if ds.strip('0') == '' or e < -MAXE: return ('-' if neg else '') + '0'
    return ('-' if neg else '') + ds[0] + ('.' + ds[1:] if p > 1 else '') + 'e' + str(e)

def escc(c):
    return "\\'" if c == "'" else esc(c)

def esc(s):
    return s.replace('\\', '\\\\').replace('"', '\\"').replace('\u202f', '\\u202F').replace('\u221e', '\\u221E')

rng = random.Random(20240611)
fmt = []
def F(p, text, flags, dec='.', th="'", lo=-4, hi=10):
    fmt.append((p, text, flags, dec, th, lo, hi, layout(value(p, text), p, flags, dec, th, lo, hi)))

FLAGS = (0, FFP, FSCI, FFP | STRIP, FSCI | STRIP, G, G | FFP, PLUS, NOEP | FSCI, KEEP, KEEP | FSCI | STRIP, FIX | G)
for p in (1, 16, 39):
    for text in ('-7', '0.5', '123456789', '1e10', '0.0001', '-0.00012345', '1234567.5',
                 '3.14159265358979323846264338327950288', '-2.5e-300', '0', '-0',
                 '9.99999999999999999999999999999999999999999e4611686018427387903'):
        for flags in rng.sample(FLAGS, 2):
            if flags & FFP and abs(value(p, text)[2]) > 60: continue
            F(p, text, flags, ',', '.')
for i in range(16):
    p = rng.choice([3, 16, 19, 20, 25, 39, 57])
    ds = str(rng.randrange(1, 10)) + ''.join(rng.choice('0123456789') for _ in range(rng.randrange(0, 70)))
    text = ('-' if rng.random() < 0.3 else '') + ds[0] + '.' + ds[1:] + 'e' + str(rng.randrange(-25, 25)) if len(ds) > 1 else ds
    flags = rng.choice([0, FFP, FSCI, FFP | STRIP, FSCI | STRIP, G | FFP, G, KEEP])
    F(p, text, flags, rng.choice(['.', ',']), rng.choice(["'", '\u202f']), rng.choice([-4, -2, -10]), rng.choice([10, 3, 30]))

print('const FormatCase kFormatCases[] = {')
for p, text, flags, dec, th, lo, hi, exp in fmt:
    print(f'    {{{p}, "{text}", 0x{flags:x}, u\'{escc(dec)}\', u\'{escc(th)}\', {lo}, {hi}, u"{esc(exp)}"}},')
print('};')

# Parse: spelled texts (comma decimal, point grouping) and the value, rounded half up, in
# forced scientific notation without stripping.
par = []
for i in range(30):
    p = rng.choice([1, 2, 3, 16, 18, 19, 20, 21, 37, 38, 39, 40, 57, 100])
    nint = rng.randrange(1, 30); nfrac = rng.randrange(0, 60)
    intd = ''.join(rng.choice('0123456789') for _ in range(nint))
    if rng.random() < 0.3: intd = '0' * rng.randrange(1, 5) + intd
    fracd = ''.join(rng.choice('0123456789') for _ in range(nfrac))
    if rng.random() < 0.3 and nfrac: fracd = '0' * rng.randrange(1, 30) + fracd
    # force rounding boundaries now and then
    if rng.random() < 0.3:
        allds = (intd + fracd).lstrip('0')
        if len(allds) > p:
            fracd = fracd  # random already
    ex = rng.choice([None, rng.randrange(-40, 40), rng.randrange(-10**18, 10**18)])
    plain = intd + ('.' + fracd if fracd else '') + ('' if ex is None else 'e' + str(ex))
    g = intd.lstrip('0') or '0'
    lead = intd[:len(intd) - len(g)]
    grouped = []
    while len(g) > 3: grouped.insert(0, g[-3:]); g = g[:-3]
    spelled = lead + '.'.join([g] + grouped) + (',' + fracd if fracd else '') + ('' if ex is None else rng.choice('eE') + (rng.choice(['', '+']) if ex >= 0 else '') + str(ex))
    sign = rng.choice(['', '-', '+'])
    d = value(p, sign.replace('+', '') + plain)
    par.append((p, '  ' * rng.randrange(0, 2) + sign + spelled, raw(d, p)))
# rounding boundaries
for p in (1, 16, 19, 20, 39):
    for tail in ('49999999', '5', '9', '05'):
        for lead in ('9' * p, '123456789012345678901234567890123456789012345'[:p]):
            plain = lead + tail
            par.append((p, plain[0] + ',' + plain[1:], raw(value(p, plain[0] + '.' + plain[1:]), p)))
print('const ParseCase kParseCases[] = {')
for p, text, exp in par:
    print(f'    {{{p}, u"{text}", "{exp}"}},')
print('};')
