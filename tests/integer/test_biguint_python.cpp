// BigUInt operations against results computed with Python's exact integers
// (tests/data/biguint.txt, made by tests/data/gen_biguint.py). Each case also runs with the
// result written over an operand, which must not change the outcome.
#include <fstream>
#include <map>
#include <sstream>

#include "biguint_test_util.h"
#include "integer/biguint_text.h"

using namespace biguint_test;

namespace {

struct Case {
  std::string op;
  std::int64_t n = 0;
  std::vector<std::string> args;
  std::vector<std::string> want;
  int line = 0;
};

const std::vector<Case>& cases() {
  static const std::vector<Case> all = [] {
    std::vector<Case> out;
    std::ifstream in(std::string(NUMERION_TEST_DATA) + "/biguint.txt");
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
      ++line;
      if (text.empty() || text[0] == '#') continue;
      std::istringstream fields(text);
      Case c;
      c.line = line;
      fields >> c.op >> c.n;
      std::string f;
      bool results = false;
      while (fields >> f) {
        if (f == "=") {
          results = true;
        } else {
          (results ? c.want : c.args).push_back(f);
        }
      }
      out.push_back(std::move(c));
    }
    return out;
  }();
  return all;
}

std::u16string percent_decode(const std::string& s) {
  std::string bytes;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      bytes.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      bytes.push_back(s[i]);
    }
  }
  std::u16string out;  // UTF-8 of at most three bytes per character
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if (b < 0xE0) {
      out.push_back(static_cast<char16_t>(((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
      i += 1;
    } else {
      out.push_back(static_cast<char16_t>(((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) |
                                          (bytes[i + 2] & 0x3F)));
      i += 2;
    }
  }
  return out;
}

class PythonReference : public BigUIntTest {
 protected:
  // Runs every case of one operation; returns the count so a missing data file fails.
  template <class F>
  int run(const std::string& op, F&& check) {
    int count = 0;
    for (const Case& c : cases()) {
      if (c.op != op) continue;
      ++count;
      SCOPED_TRACE("biguint.txt line " + std::to_string(c.line));
      set_n(c.n);
      clear_status();
      check(c);
      if (HasFatalFailure()) break;
    }
    return count;
  }
  Limbs arg(const Case& c, int i) const { return num(c.args[static_cast<std::size_t>(i)]); }
  Limbs want(const Case& c, int i) const { return num(c.want[static_cast<std::size_t>(i)]); }
  std::uint32_t want_u(const Case& c, int i) const {
    return static_cast<std::uint32_t>(std::stoul(c.want[static_cast<std::size_t>(i)]));
  }
};

TEST_F(PythonReference, Products) {
  EXPECT_GT(run("mul",
                [&](const Case& c) {
                  Limbs a = arg(c, 0), b = arg(c, 1), r = zeros();
                  biguint_mul(r.data(), a.data(), b.data());
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_mul(b.data(), a.data(), b.data());  // r = a * r
                  EXPECT_EQ(hex(b), hex(want(c, 0)));
                  clear_status();
                  biguint_mul(a.data(), a.data(), a.data());  // squaring in place
                  Limbs a2 = arg(c, 0), sq = zeros();
                  biguint_mul(sq.data(), a2.data(), a2.data());
                  EXPECT_EQ(hex(a), hex(sq));
                  // the wide product never fails and agrees with Python when it fits
                  Limbs wide(static_cast<std::size_t>(2 * c.n), 0);
                  clear_status();
                  biguint_mul_wide(wide.data(), a2.data(), arg(c, 1).data());
                  EXPECT_EQ(status(), 0u);
                  if (want_u(c, 1) == 0) {
                    EXPECT_EQ(hex(wide), hex(want(c, 0)));
                  }
                }),
            200);
}

TEST_F(PythonReference, Division) {
  EXPECT_GT(run("divmod",
                [&](const Case& c) {
                  const Limbs a = arg(c, 0), b = arg(c, 1);
                  Limbs q = zeros(), r = zeros();
                  biguint_divmod(q.data(), r.data(), a.data(), b.data());
                  EXPECT_EQ(hex(q), hex(want(c, 0)));
                  EXPECT_EQ(hex(r), hex(want(c, 1)));
                  EXPECT_EQ(status(), want_u(c, 2));
                  // q over a and r over b
                  clear_status();
                  Limbs qa = a, rb = b;
                  biguint_divmod(qa.data(), rb.data(), qa.data(), rb.data());
                  EXPECT_EQ(hex(qa), hex(want(c, 0)));
                  EXPECT_EQ(hex(rb), hex(want(c, 1)));
                  // remainder only, over a; quotient only, over b
                  clear_status();
                  Limbs ra = a, qb = b;
                  biguint_divmod(nullptr, ra.data(), ra.data(), b.data());
                  biguint_divmod(qb.data(), nullptr, a.data(), qb.data());
                  EXPECT_EQ(hex(ra), hex(want(c, 1)));
                  EXPECT_EQ(hex(qb), hex(want(c, 0)));
                  if (want_u(c, 2) == 0) {
                    Limbs qe = zeros();
                    EXPECT_EQ(biguint_div_exact(qe.data(), a.data(), b.data()), hex(r) == "0");
                    EXPECT_EQ(hex(qe), hex(want(c, 0)));
                  }
                  if (significant(b) == 1) {
                    Limbs q1 = a;
                    std::uint64_t rem = 1;
                    clear_status();
                    biguint_divmod_u64(q1.data(), &rem, q1.data(), b[0], 0);
                    EXPECT_EQ(hex(q1), hex(want(c, 0)));
                    EXPECT_EQ(rem, want(c, 1)[0]);
                  }
                }),
            200);
}

TEST_F(PythonReference, Roots) {
  EXPECT_GT(run("isqrt",
                [&](const Case& c) {
                  Limbs a = arg(c, 0), r = zeros();
                  EXPECT_EQ(biguint_isqrt(r.data(), a.data()), want_u(c, 1) == 1);
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(biguint_isqrt(a.data(), a.data()), want_u(c, 1) == 1);
                  EXPECT_EQ(hex(a), hex(want(c, 0)));
                  EXPECT_EQ(status(), 0u);
                }),
            100);
  EXPECT_GT(run("root",
                [&](const Case& c) {
                  const Limbs k = arg(c, 0);
                  Limbs a = arg(c, 1), r = zeros();
                  EXPECT_EQ(biguint_root(r.data(), k.data(), a.data()), want_u(c, 1) == 1);
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(biguint_root_i64(a.data(), static_cast<std::int64_t>(k[0]), a.data()),
                            want_u(c, 1) == 1);
                  EXPECT_EQ(hex(a), hex(want(c, 0)));
                  EXPECT_EQ(status(), 0u);
                }),
            100);
}

TEST_F(PythonReference, Powers) {
  EXPECT_GT(run("pow",
                [&](const Case& c) {
                  Limbs a = arg(c, 0), e = arg(c, 1), r = zeros();
                  biguint_pow(r.data(), a.data(), e.data());
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_pow_i64(a.data(), a.data(), static_cast<std::int64_t>(e[0]));
                  EXPECT_EQ(hex(a), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                }),
            50);
  EXPECT_GT(run("pow10",
                [&](const Case& c) {
                  Limbs e = arg(c, 0), r = zeros();
                  biguint_pow10(e.data(), e.data());
                  EXPECT_EQ(hex(e), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_pow10_i64(r.data(), static_cast<std::int64_t>(arg(c, 0)[0]));
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                }),
            50);
  EXPECT_GT(run("powmod",
                [&](const Case& c) {
                  Limbs b = arg(c, 0), e = arg(c, 1), m = arg(c, 2), r = zeros();
                  biguint_powmod(r.data(), b.data(), e.data(), m.data());
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_powmod(m.data(), b.data(), e.data(), m.data());
                  biguint_powmod(e.data(), arg(c, 0).data(), e.data(), arg(c, 2).data());
                  EXPECT_EQ(hex(m), hex(want(c, 0)));
                  EXPECT_EQ(hex(e), hex(want(c, 0)));
                }),
            100);
}

TEST_F(PythonReference, Logarithms) {
  EXPECT_GT(run("log",
                [&](const Case& c) {
                  Limbs base = arg(c, 0), a = arg(c, 1), r = zeros();
                  EXPECT_EQ(biguint_log(r.data(), base.data(), a.data()), want_u(c, 1) == 1);
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 2));
                  if (hex(base) == "a") {
                    clear_status();
                    EXPECT_EQ(biguint_log10(a.data(), a.data()), want_u(c, 1) == 1);
                    EXPECT_EQ(hex(a), hex(want(c, 0)));
                  }
                }),
            100);
}

TEST_F(PythonReference, Combinatorics) {
  EXPECT_GT(run("factorial",
                [&](const Case& c) {
                  Limbs x = arg(c, 0);
                  biguint_factorial(x.data(), x.data());
                  EXPECT_EQ(hex(x), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                }),
            20);
  EXPECT_GT(run("binomial",
                [&](const Case& c) {
                  Limbs nn = arg(c, 0), k = arg(c, 1), r = zeros();
                  const bool perm = c.args[2] == "1";
                  biguint_binomial(r.data(), nn.data(), k.data(), perm);
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_binomial(k.data(), nn.data(), k.data(), perm);
                  EXPECT_EQ(hex(k), hex(want(c, 0)));
                }),
            100);
}

TEST_F(PythonReference, GcdAndLcm) {
  EXPECT_GT(run("gcd",
                [&](const Case& c) {
                  Limbs a = arg(c, 0), b = arg(c, 1), r = zeros();
                  biguint_gcd(r.data(), a.data(), b.data());
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                  EXPECT_EQ(status(), want_u(c, 1));
                  clear_status();
                  biguint_lcm(r.data(), a.data(), b.data());
                  EXPECT_EQ(hex(r), hex(want(c, 2)));
                  EXPECT_EQ(status(), want_u(c, 3));
                  clear_status();
                  biguint_gcd(b.data(), a.data(), b.data());
                  biguint_lcm(a.data(), a.data(), arg(c, 1).data());
                  EXPECT_EQ(hex(b), hex(want(c, 0)));
                  EXPECT_EQ(hex(a), hex(want(c, 2)));
                }),
            50);
}

TEST_F(PythonReference, Formatting) {
  EXPECT_GT(run("format",
                [&](const Case& c) {
                  const Limbs v = arg(c, 1);
                  const std::uint32_t flags =
                      static_cast<std::uint32_t>(std::stoul(c.args[0], nullptr, 16));
                  const std::int64_t size = biguint_text_size(flags);
                  std::u16string buf(static_cast<std::size_t>(size), u'#');
                  TextSink sink{0, size, buf.data()};
                  biguint_format(sink, v.data(), flags);
                  const std::u16string expect = c.want.empty() ? u"" : percent_decode(c.want[0]);
                  ASSERT_LT(sink.pos, size) << "text size leaves no room for the terminator";
                  EXPECT_EQ(narrow(buf.substr(0, static_cast<std::size_t>(sink.pos))),
                            narrow(expect));
                  const bool invalid = expect.find(u"[P]") != std::u16string::npos;
                  EXPECT_EQ(status(), invalid ? 100u : 0u);
                  if (invalid) return;
                  // and back: the formatted text reads as the same value
                  Limbs back = zeros();
                  clear_status();
                  biguint_parse(back.data(), buf.data(), sink.pos, flags & 0x3ff);
                  EXPECT_EQ(hex(back), hex(v));
                  EXPECT_EQ(status(), 0u);
                }),
            200);
}

TEST_F(PythonReference, Parsing) {
  EXPECT_GT(run("parse",
                [&](const Case& c) {
                  const std::uint32_t flags =
                      static_cast<std::uint32_t>(std::stoul(c.args[0], nullptr, 16));
                  const std::u16string text = percent_decode(c.args[1]);
                  Limbs r = num(12345);
                  biguint_parse(r.data(), text.data(), static_cast<std::int64_t>(text.size()),
                                flags);
                  EXPECT_EQ(hex(r), hex(want(c, 0))) << narrow(text).substr(0, 200);
                  EXPECT_EQ(status(), want_u(c, 1)) << narrow(text).substr(0, 200);
                  clear_status();
                  std::u16string terminated = text + u'\0';
                  biguint_parse(r.data(), terminated.data(), -1, flags);
                  EXPECT_EQ(hex(r), hex(want(c, 0)));
                }),
            200);
}

}  // namespace
