#include "solvers_test_util.h"

#include "app/messages.h"
#include "core/thread_scratch.h"
#include "integer/biguint.h"
#include "integer/number.h"

RootPolynomial poly_of(const std::vector<std::u16string>& high_first) {
  RootPolynomial p;
  const auto n = static_cast<std::int64_t>(high_first.size()) - 1;
  root_polynomial_init(p, n);
  for (std::int64_t k = 0; k <= n; ++k) {
    const std::u16string& t = high_first[static_cast<std::size_t>(n - k)];
    cplx_parse(root_coefficient(p, k), t.c_str(), static_cast<std::int64_t>(t.size()), 0);
  }
  return p;
}

std::string complex_text(const Complex* z, std::int64_t digits) {
  const std::int64_t outer = g_arith.precision;
  set_precision(digits);
  std::u16string buf(static_cast<std::size_t>(cplx_format(nullptr, 0, z, 0)), u'\0');
  const std::int64_t n = cplx_format(buf.data(), static_cast<std::int64_t>(buf.size()), z, 0);
  set_precision(outer);
  std::string s;
  for (std::int64_t i = 0; i < n; ++i)
    s.push_back(static_cast<char>(buf[static_cast<std::size_t>(i)]));
  return s;
}

std::string roots_text(const RootSet& r) {
  std::string s;
  for (std::int64_t i = 0; i < r.count; ++i) {
    if (i > 0) s += "; ";
    s += complex_text(root_value(r, i), r.digits) + "*" + std::to_string(r.multiplicity[i]);
  }
  return s;
}

void PageTest::SetUp() {
  SolverTest::SetUp();
  load_texts(kLanguageEnglish);
  thread_scratch_init();
  NumberType = kTypeReal;
  biguint_set_limbs(2);
}

void PageTest::TearDown() {
  thread_scratch_free();
  NumberType = kTypeReal;
  biguint_set_limbs(2);
  SolverTest::TearDown();
}
