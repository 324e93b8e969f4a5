// evaluate_formula: one left-to-right pass over an operator-precedence stack. Every reduction
// computes its value at once; there is no syntax tree. "+" and "-" (also as prefix signs) bind
// weakest and group from the left, "*", "/" and "mod" tighter, "^" tightest and from the right.
// The first error ends the pass.
#include <climits>

#include "core/arith.h"
#include "core/complex.h"
#include "core/thread_scratch.h"
#include "formula/evaluator.h"
#include "formula/formula.h"
#include "formula/tokens.h"

thread_local constinit FormulaError g_formula_error;

namespace {

// A reduced entry spans from its own start to the end of the last entry it swallowed.
struct EvalEntry {
  std::uint32_t kind;
  std::int64_t start;
  std::int64_t end;
  NumValue* value;
};

// The value buffers are taken from the ThreadScratch the first time a depth is reached and
// stay with their depth; entries exchange buffers instead of copying values.
struct EvalStack {
  EvalEntry entry[kEvalStackEntries] = {};
  int top = -1;
  int buffers = 0;
};

struct CachedVariable {
  const char16_t* name;
  NumValue* value;
};

thread_local constinit EvalStack g_stack;
thread_local constinit CachedVariable g_cache[kVariableCacheEntries] = {};
thread_local constinit int g_cache_count = 0;

std::uint32_t position_of(std::int64_t start) {
  return start + 1 >= UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(start + 1);
}

bool is_multiplicative(std::uint32_t k) {
  return k == kTokTimes || k == kTokDivide || k == kTokPower || k == kTokMod;
}
bool is_additive(std::uint32_t k) {
  return k == kTokPlus || k == kTokMinus;
}

// name equals text[0, length), name NUL-terminated.
bool same_name(const char16_t* name, const char16_t* text, std::int64_t length) {
  for (std::int64_t i = 0; i < length; ++i) {
    if (name[i] != text[i]) return false;
  }
  return name[length] == 0;
}

std::int64_t text_length(const char16_t* s) {
  std::int64_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

class Pass {
 public:
  Pass(FormulaContext& ctx, std::size_t value_bytes)
      : ctx_(ctx), text_(ctx.text ? ctx.text : u""), bytes_(value_bytes) {}

  // Runs the main loop; leaves the outcome in g_formula_error and ctx.result.
  void run() {
    std::int64_t pos = 0;
    for (;;) {
      tok_ = next_token(text_, ctx_.flags, pos);
      const bool done = step();
      if (g_arith.status != 0) {
        if (math_status() == MathStatus::Cancelled) {
          set_formula_error(kFormulaCancelled, 0);
        } else {
          set_formula_error(kFormulaArithmetic, position_of(tok_.start), math_status());
        }
        clear_status();
      }
      if (g_formula_error.code != 0 || done) return;
    }
  }

 private:
  EvalEntry* e() { return g_stack.entry; }
  int& top() { return g_stack.top; }
  std::uint32_t kind_at(int i) { return i >= 0 ? e()[i].kind : 0; }
  std::uint32_t top_kind() { return kind_at(top()); }
  bool top_is_value() { return top_kind() == kTokValue; }
  bool operand_place() {
    const std::uint32_t k = top_kind();
    return k == 0 || is_operator_kind(k) || k == kTokLeftParen || k == kTokSeparator;
  }

  void error(std::uint32_t code, std::int64_t start) {
    set_formula_error(code, position_of(start));
  }
  void syntax_error() { error(kFormulaSyntax, tok_.start); }

  // Pushes the current token; false when the stack or the scratch block is full.
  bool push(std::uint32_t kind) {
    if (top() + 1 >= kEvalStackEntries) {
      set_formula_error(kFormulaStackFull, 1);
      return false;
    }
    const int i = top() + 1;
    if (i >= g_stack.buffers) {
      auto* buffer = static_cast<NumValue*>(thread_scratch_alloc(bytes_));
      if (!buffer) return false;  // status 400, reported at this token
      e()[i].value = buffer;
      g_stack.buffers = i + 1;
    }
    e()[i].kind = kind;
    e()[i].start = tok_.start;
    e()[i].end = tok_.start + tok_.length;
    top() = i;
    return true;
  }

  // One token; true when the pass is over.
  bool step() {
    const std::uint32_t k = tok_.kind;
    if (k == kTokNumber) {
      number();
    } else if (is_constant_kind(k)) {
      constant();
    } else if (k == kTokIdentifier) {
      variable();
    } else if (k == kTokImaginary) {
      imaginary_unit();
    } else if (k == kTokLeftParen) {
      if (operand_place() || is_function_kind(top_kind())) {
        push(k);
      } else {
        syntax_error();
      }
    } else if (is_function_kind(k)) {
      if (operand_place()) {
        push(k);
      } else {
        syntax_error();
      }
    } else if (is_operator_kind(k)) {
      operator_token();
    } else if (k == kTokSeparator) {
      separator();
    } else if (k == kTokRightParen) {
      right_paren();
    } else if (k == kTokEnd) {
      end();
      return true;
    } else {
      syntax_error();
    }
    return false;
  }

  void number() {
    if (!operand_place()) return syntax_error();
    if (!push(kTokValue)) return;
    convert_literal(e()[top()].value, text_ + tok_.start, tok_.length, ctx_.flags);
    if (g_arith.status != 0) {
      if (math_status() == MathStatus::Cancelled) {
        set_formula_error(kFormulaCancelled, 0);
      } else {
        error(kFormulaBadNumber, tok_.start);
      }
      clear_status();
    }
  }

  void constant() {
    if (!operand_place()) return syntax_error();
    const std::uint32_t k = tok_.kind;
    if (!push(kTokValue)) return;
    if (k == kTokPi) {
      num_set_pi(e()[top()].value);
    } else {
      set_formula_error(kFormulaInternal, 0);
    }
  }

  void variable() {
    if (!operand_place()) return syntax_error();
    if (!push(kTokValue)) return;
    const char16_t* id = text_ + tok_.start;
    const VariableTable* table = ctx_.variables;
    if (!table) return error(kFormulaUnknownVariable, tok_.start);
    for (int i = 0; i < g_cache_count; ++i) {
      if (same_name(g_cache[i].name, id, tok_.length)) {
        num_copy(e()[top()].value, g_cache[i].value);
        return;
      }
    }
    const VariableEntry* found = nullptr;
    const std::uint32_t count =
        table->count < kMaxVariableTableEntries ? table->count : kMaxVariableTableEntries;
    for (std::uint32_t i = 0; i < count && !found; ++i) {
      const VariableEntry& v = table->entries[i];
      if (v.name && v.value && v.value[0] != 0 && same_name(v.name, id, tok_.length)) found = &v;
    }
    if (!found) return error(kFormulaUnknownVariable, tok_.start);
    if (g_cache_count >= kVariableCacheEntries) return set_formula_error(kFormulaInternal, 0);
    auto* cached = static_cast<NumValue*>(thread_scratch_alloc(bytes_));
    if (!cached) return;  // status 400, reported at this token
    convert_literal(cached, found->value, text_length(found->value), ctx_.flags);
    if (g_arith.status != 0) {
      if (math_status() == MathStatus::Cancelled) {
        set_formula_error(kFormulaCancelled, 0);
      } else {
        error(kFormulaBadVariableValue, tok_.start);
      }
      clear_status();
      return;
    }
    g_cache[g_cache_count++] = CachedVariable{found->name, cached};
    num_copy(e()[top()].value, cached);
  }

  // "i" binds to the value just before it, tighter than "^": 2^3i is 2 to the power 3i.
  void imaginary_unit() {
    if (NumberType != kTypeComplex) return error(kFormulaNeedsComplex, tok_.start);
    if (top_is_value()) {
      EvalEntry& v = e()[top()];
      if (!is_zero(cplx_im(v.value))) return error(kFormulaBadNumber, tok_.start);
      dec_copy(cplx_im(v.value), cplx_re(v.value));
      make_zero(cplx_re(v.value), false);
      v.end = tok_.start + tok_.length;
      return;
    }
    if (!push(kTokValue)) return;
    NumValue* z = e()[top()].value;
    make_zero(cplx_re(z), false);
    apply_rounding(cplx_im(z), dec_from_word(cplx_im(z), 1));
  }

  void operator_token() {
    const std::uint32_t op = tok_.kind;
    if (top_is_value()) return precedence_step(op);
    const std::uint32_t k = top_kind();
    if (is_additive(op) && (k == 0 || k == kTokLeftParen || k == kTokSeparator)) {
      push(op);  // a prefix sign
      return;
    }
    syntax_error();
  }

  void precedence_step(std::uint32_t op) {
    for (;;) {
      const std::uint32_t below = kind_at(top() - 1);
      if (!is_operator_kind(below)) break;
      if (is_multiplicative(below)) {
        if (op == kTokPower) break;
      } else if (is_additive(below)) {
        if (!is_additive(op)) break;
      } else {
        return set_formula_error(kFormulaInternal, 0);
      }
      if (!reduce_one()) return;
    }
    push(op);
  }

  // The top is a value with an operator under it. False when the pass must stop.
  bool reduce_one() {
    const int t = top();
    EvalEntry& right = e()[t];
    EvalEntry& op = e()[t - 1];
    const std::uint32_t under = kind_at(t - 2);
    if (under == kTokValue) {
      EvalEntry& left = e()[t - 2];
      apply_operator(op.kind, left.value, right.value);
      left.end = right.end;
      top() = t - 2;
    } else if (under == 0 || under == kTokLeftParen || under == kTokSeparator) {
      if (!is_additive(op.kind)) {
        error(kFormulaSyntax, op.start);
        return false;
      }
      NumValue* buffer = op.value;
      op.value = right.value;
      right.value = buffer;
      if (op.kind == kTokMinus) apply_sign(kTokMinus, op.value);
      op.kind = kTokValue;
      op.end = right.end;
      top() = t - 1;
    } else {
      error(kFormulaSyntax, e()[t - 2].start);
      return false;
    }
    return g_arith.status == 0 && g_formula_error.code == 0;
  }

  // Reduces while the entry under the top value is an operator.
  bool reduce_operators() {
    while (is_operator_kind(kind_at(top() - 1))) {
      if (!reduce_one()) return false;
    }
    return true;
  }

  // ";" is valid only inside the parentheses of a function call.
  void separator() {
    if (!top_is_value()) return syntax_error();
    if (!reduce_operators()) return;
    const std::uint32_t below = kind_at(top() - 1);
    if (top() == 0 || (below != kTokLeftParen && below != kTokSeparator)) {
      return error(kFormulaSyntax, e()[top()].start);
    }
    if (!push(kTokSeparator)) return;
    const std::uint32_t base = kind_at(top() - 2);
    if (base == kTokSeparator) return;
    if (base == kTokLeftParen && is_function_kind(kind_at(top() - 3))) return;
    syntax_error();
  }

  void right_paren() {
    if (!top_is_value()) return syntax_error();
    if (!reduce_operators()) return;
    const int t = top();
    const std::uint32_t below = kind_at(t - 1);
    if (below == kTokLeftParen && !is_function_kind(kind_at(t - 2))) {
      EvalEntry& paren = e()[t - 1];
      NumValue* buffer = paren.value;
      paren.value = e()[t].value;
      e()[t].value = buffer;
      paren.kind = kTokValue;
      paren.end = e()[t].end;
      top() = t - 1;
    } else if (below == kTokLeftParen || below == kTokSeparator) {
      function_call();
    } else {
      error(kFormulaUnmatchedParen, tok_.start);
    }
  }

  void function_call() {
    const int t = top();
    int i = t - 1;
    int count = 1;
    while (i >= 0 && e()[i].kind == kTokSeparator) {
      if (i == 0) return set_formula_error(kFormulaInternal, 0);
      if (e()[i - 1].kind != kTokValue) return error(kFormulaSyntax, e()[i - 1].start);
      ++count;
      i -= 2;
    }
    if (i < 0) return set_formula_error(kFormulaInternal, 0);
    if (e()[i].kind != kTokLeftParen) return error(kFormulaUnmatchedParen, tok_.start);
    const int f = i - 1;
    const FunctionRow* row =
        f >= 0 && is_function_kind(e()[f].kind) ? lookup_function(e()[f].kind) : nullptr;
    const std::int64_t name_start = f >= 0 ? e()[f].start : e()[i].start;
    if (!row || count > 3 || static_cast<std::uint32_t>(count) != row->params) {
      return error(kFormulaParamCount, name_start);
    }
    EvalEntry& fn = e()[f];
    const std::uint32_t at = position_of(fn.start);
    const NumValue* a = e()[i + 1].value;
    if (count == 1) {
      apply_function1(fn.kind, at, fn.value, a);
    } else if (count == 2) {
      apply_function2(fn.kind, at, fn.value, a, e()[i + 3].value);
    } else {
      apply_function3(fn.kind, at, fn.value, a, e()[i + 3].value, e()[i + 5].value);
    }
    fn.kind = kTokValue;
    fn.end = e()[t].end;
    top() = f;
  }

  void end() {
    if (top_is_value() && !reduce_operators()) return;
    if (top() != 0 || !top_is_value()) return error(kFormulaUnexpectedEnd, tok_.start);
    if (g_arith.status != 0) return;
    if (ctx_.result) num_copy(ctx_.result, e()[0].value);
    ctx_.inexact = g_formula_inexact;
  }

  FormulaContext& ctx_;
  const char16_t* text_;
  std::size_t bytes_;
  FormulaToken tok_;
};

}  // namespace

void evaluate_formula(FormulaContext& ctx) {
  clear_formula_error();
  clear_status();
  g_formula_inexact = 0;
  g_cache_count = 0;
  g_stack.top = -1;
  g_stack.buffers = 0;
  ctx.inexact = 0;
  // The thread's block is looked up once, through a pointer the compiler must keep: a second
  // inline access to the thread-local here makes GCC 12 emit a null check on stale flags, which
  // UBSan then reports as a null pointer.
  ThreadScratch* volatile block = &t_scratch;
  std::uint8_t* const thread_mark = block->pos;
  const ScratchMark arith_mark = scratch_mark();

  const std::size_t bytes = num_size();
  if (bytes == 0) {
    set_formula_error(kFormulaInternal, 0);  // no NumberType chosen: a fault of the caller
  } else {
    Pass(ctx, bytes).run();
  }
  if (g_formula_error.code != 0) {
    clear_status();
    if (ctx.result && bytes != 0) num_set_zero(ctx.result);
    ctx.inexact = 0;
  }
  clear_status();
  scratch_release(arith_mark);
  block->pos = thread_mark;
}
