#!/usr/bin/python3
"""Reference values for tests/primes: large primes and hard composites.

Independent of the C++ code: Miller-Rabin with 64 random bases plus a strong Lucas test
(together stronger than Baillie-PSW) for the primes, brute force for the small pseudoprimes.
Writes primes_reference.txt beside this script: "<kind> <decimal number>" per line.
"""
import os
import random

SMALL = [p for p in range(2, 1000) if all(p % d for d in range(2, int(p**0.5) + 1))]


def strong_test(n, a):
    d, s = n - 1, 0
    while d % 2 == 0:
        d //= 2
        s += 1
    x = pow(a, d, n)
    if x in (1, n - 1):
        return True
    for _ in range(s - 1):
        x = x * x % n
        if x == n - 1:
            return True
    return False


def jacobi(a, n):
    a %= n
    t = 1
    while a:
        while a % 2 == 0:
            a //= 2
            if n % 8 in (3, 5):
                t = -t
        a, n = n, a
        if a % 4 == 3 and n % 4 == 3:
            t = -t
        a %= n
    return t if n == 1 else 0


def strong_lucas(n):
    r = int(n**0.5)
    while r * r > n:
        r -= 1
    while (r + 1) ** 2 <= n:
        r += 1
    if r * r == n:
        return False
    D = 5
    while jacobi(D, n) != -1:
        D = -D - 2 if D > 0 else -D + 2
    P, Q = 1, (1 - D) // 4
    d, s = n + 1, 0
    while d % 2 == 0:
        d //= 2
        s += 1

    def half(x):
        return (x + n) // 2 % n if x % 2 else x // 2

    U, V, Qk = 1, P, Q % n
    for bit in bin(d)[3:]:
        U, V, Qk = U * V % n, (V * V - 2 * Qk) % n, Qk * Qk % n
        if bit == "1":
            U, V = half((P * U + V) % n), half((D * U + P * V) % n)
            Qk = Qk * Q % n
    if U == 0 or V == 0:
        return True
    for _ in range(s - 1):
        V = (V * V - 2 * Qk) % n
        if V == 0:
            return True
        Qk = Qk * Qk % n
    return False


def is_prime(n):
    if n < 2:
        return False
    for p in SMALL:
        if n % p == 0:
            return n == p
    rng = random.Random(n)
    if not all(strong_test(n, rng.randrange(2, n - 1)) for _ in range(64)):
        return False
    return strong_test(n, 2) and strong_lucas(n)


def prev_prime(n):
    n -= 1
    while not is_prime(n):
        n -= 1
    return n


def euler_jacobi(n, a):
    j = jacobi(a, n)
    return j != 0 and pow(a, (n - 1) // 2, n) == j % n


def main():
    lines = []
    m127 = 2**127 - 1
    assert is_prime(m127)
    lines.append(f"prime {m127}")
    lines.append(f"prime {prev_prime(10**38)}")
    lines.append(f"prime {prev_prime(2**128)}")
    lines.append(f"prime {prev_prime(3317044064679887385961981)}")
    lines.append(f"prime {prev_prime(2**89)}")
    limit = 400000
    spf = list(range(limit))
    for i in range(2, int(limit**0.5) + 1):
        if spf[i] == i:
            for j in range(i * i, limit, i):
                if spf[j] == j:
                    spf[j] = i
    for n in range(1001, limit, 2):
        if spf[n] == n:
            continue
        m, fs, square = n, [], False
        while m > 1:
            p = spf[m]
            m //= p
            if m % p == 0:
                square = True
            fs.append(p)
        if not square and len(fs) > 1 and all((n - 1) % (p - 1) == 0 for p in fs):
            lines.append(f"carmichael {n}")
        if strong_test(n, 2):
            lines.append(f"strong2 {n}")
    # Euler-Jacobi pseudoprimes to bases 2 and 3 without a prime factor below 1000: they pass
    # trial division by the small primes and both Euler tests.
    big = [p for p in range(1009, 60000) if is_prime(p)]
    found = 0
    for i, p in enumerate(big[:300]):
        for q in big[i + 1:]:
            n = p * q
            if euler_jacobi(n, 2) and euler_jacobi(n, 3):
                lines.append(f"euler23 {n}")
                found += 1
        if found >= 12:
            break
    # Composites that pass the strong test to every prime base up to 23, 37 and 41.
    for n, bases in ((3825123056546413051, 23), (318665857834031151167461, 37),
                     (3317044064679887385961981, 41)):
        assert not is_prime(n) and all(strong_test(n, p) for p in SMALL if p <= bases)
        lines.append(f"strong_many {n}")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "primes_reference.txt")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


main()
