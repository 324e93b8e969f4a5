// Splitting pasted text into grid cells and joining cells for the clipboard. One pass over the
// text; a field is copied only while it lies within the rows and columns asked for and only up to
// one character past the cell limit, so a pasted text of any size costs time linear in its length
// and memory bounded by the grid.
#include "ui/grid_text.h"

#include <algorithm>

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kEllipsis = u'\u2026';
constexpr char16_t kReplacement = u'\uFFFD';

bool is_line_end(char16_t c) {
  return c == u'\n' || c == u'\r';
}

// The index past the line end at i (CR LF, LF or CR), or i at the end of the text.
std::size_t skip_line_end(std::u16string_view text, std::size_t i) {
  if (i >= text.size()) return i;
  if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') return i + 2;
  return i + 1;
}

struct QuotedStretch {
  std::size_t inner_begin;
  std::size_t inner_end;
  std::size_t end;  // past the closing quote, or the end of the text when it is missing
};

// The quoted stretch that opens with the '"' at `i`; "" inside stands for one quote.
QuotedStretch read_quoted(std::u16string_view text, std::size_t i) {
  const std::size_t begin = i + 1;
  for (std::size_t j = begin; j < text.size(); ++j) {
    if (text[j] != kQuote) continue;
    if (j + 1 < text.size() && text[j + 1] == kQuote) {
      ++j;
      continue;
    }
    return {begin, j, j + 1};
  }
  return {begin, text.size(), text.size()};
}

// Collects the fields of the block, keeping only what fits the limits.
class BlockBuilder {
 public:
  BlockBuilder(PastedBlock& out, int max_rows, int max_columns, std::size_t limit)
      : out_(out),
        max_rows_(std::max(0, max_rows)),
        max_columns_(std::max(0, max_columns)),
        limit_(limit) {}

  void begin_field() {
    keep_ = row_ < max_rows_ && column_ < max_columns_;
    text_.clear();
  }

  // Appends a piece of the field; with `unquote` a doubled quote stands for one.
  void append(std::u16string_view piece, bool unquote) {
    if (!keep_) return;
    for (std::size_t i = 0; i < piece.size() && text_.size() <= limit_; ++i) {
      char16_t c = piece[i];
      if (unquote && c == kQuote && i + 1 < piece.size() && piece[i + 1] == kQuote) ++i;
      // A NUL would end the text early wherever it is read as a C string; the replacement
      // character makes the cell fail visibly instead.
      text_.push_back(c == 0 ? kReplacement : c);
    }
  }

  void end_field() {
    if (keep_) {
      if (out_.rows.size() <= static_cast<std::size_t>(row_))
        out_.rows.resize(static_cast<std::size_t>(row_) + 1);
      if (text_.size() > limit_) ++out_.cut;
      out_.rows[static_cast<std::size_t>(row_)].push_back(cut_cell_text(text_, limit_));
    } else {
      ++out_.left_out;
    }
    ++column_;
  }

  void end_line() {
    ++row_;
    column_ = 0;
  }

 private:
  PastedBlock& out_;
  long long max_rows_;
  long long max_columns_;
  std::size_t limit_;
  long long row_ = 0;
  long long column_ = 0;
  bool keep_ = false;
  std::u16string text_;
};

// One line of fields separated by tab or ";"; returns the index past its line end.
std::size_t read_separated_line(std::u16string_view text, std::size_t i, char16_t separator,
                                BlockBuilder& block) {
  const std::size_t n = text.size();
  for (;;) {
    block.begin_field();
    if (i < n && text[i] == kQuote) {
      const QuotedStretch q = read_quoted(text, i);
      block.append(text.substr(q.inner_begin, q.inner_end - q.inner_begin), true);
      i = q.end;
    }
    // The field's unquoted text; after a quoted stretch, whatever follows up to the separator.
    const std::size_t start = i;
    int depth = 0;
    for (; i < n && !is_line_end(text[i]); ++i) {
      const char16_t c = text[i];
      if (c == separator && depth == 0) break;
      if (separator == u';') {
        // ";" also separates function arguments: inside parentheses it belongs to the formula.
        if (c == u'(') ++depth;
        if (c == u')' && depth > 0) --depth;
      }
    }
    block.append(text.substr(start, i - start), false);
    block.end_field();
    if (i < n && text[i] == separator) {
      ++i;
      continue;
    }
    block.end_line();
    return skip_line_end(text, i);
  }
}

bool is_operator(char16_t c) {
  return c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'^' || c == u'(' || c == u')' ||
         c == u';';
}

bool ends_with_word(std::u16string_view text, std::u16string_view word) {
  if (text.size() < word.size() || text.substr(text.size() - word.size()) != word) return false;
  return text.size() == word.size() || text[text.size() - word.size() - 1] == u' ';
}

// Whether a space between the pending field and the next token is part of a formula rather than
// a separator: an operator on either side of it joins them.
bool joins(std::u16string_view pending, std::u16string_view token) {
  const char16_t last = pending.back();
  if (is_operator(last) && last != u')') return true;
  if (ends_with_word(pending, u"mod") || token == u"mod") return true;
  if (std::all_of(token.begin(), token.end(), is_operator)) return true;
  const char16_t first = token.front();
  return first == u'*' || first == u'/' || first == u'^' || first == u')';
}

// One line of fields separated by runs of spaces; returns the index past its line end.
std::size_t read_spaced_line(std::u16string_view text, std::size_t i, BlockBuilder& block) {
  const std::size_t n = text.size();
  bool any_field = false;
  bool pending = false;  // an unquoted field [pending_begin, pending_end) not yet written
  std::size_t pending_begin = 0;
  std::size_t pending_end = 0;
  auto flush = [&]() {
    if (!pending) return;
    block.begin_field();
    block.append(text.substr(pending_begin, pending_end - pending_begin), false);
    block.end_field();
    pending = false;
    any_field = true;
  };
  auto word_end = [&](std::size_t j) {
    while (j < n && text[j] != u' ' && !is_line_end(text[j])) ++j;
    return j;
  };
  for (;;) {
    while (i < n && text[i] == u' ') ++i;
    if (i >= n || is_line_end(text[i])) break;
    if (text[i] == kQuote) {
      flush();
      const QuotedStretch q = read_quoted(text, i);
      block.begin_field();
      block.append(text.substr(q.inner_begin, q.inner_end - q.inner_begin), true);
      const std::size_t rest = word_end(q.end);
      block.append(text.substr(q.end, rest - q.end), false);
      block.end_field();
      any_field = true;
      i = rest;
      continue;
    }
    const std::size_t start = i;
    i = word_end(i);
    if (pending && joins(text.substr(pending_begin, pending_end - pending_begin),
                         text.substr(start, i - start))) {
      pending_end = i;
    } else {
      flush();
      pending = true;
      pending_begin = start;
      pending_end = i;
    }
  }
  flush();
  if (!any_field) {  // an empty line is one empty field, as with the other separators
    block.begin_field();
    block.end_field();
  }
  block.end_line();
  return skip_line_end(text, i);
}

bool needs_quotes(std::u16string_view cell) {
  if (!cell.empty() && cell.front() == kQuote) return true;
  return std::any_of(cell.begin(), cell.end(),
                     [](char16_t c) { return c == u'\t' || is_line_end(c); });
}

}  // namespace

PasteSeparator detect_paste_separator(std::u16string_view text) {
  bool semicolon = false;
  bool field_start = true;
  for (std::size_t i = 0; i < text.size();) {
    const char16_t c = text[i];
    if (c == kQuote && field_start) {
      i = read_quoted(text, i).end;
      field_start = false;
      continue;
    }
    if (c == u'\t') return PasteSeparator::Tab;
    if (c == u';') semicolon = true;
    field_start = c == u';' || c == u' ' || is_line_end(c);
    ++i;
  }
  return semicolon ? PasteSeparator::Semicolon : PasteSeparator::Spaces;
}

PastedBlock split_pasted_text(std::u16string_view text, int max_rows, int max_columns,
                              std::size_t cell_limit) {
  PastedBlock out;
  out.separator = detect_paste_separator(text);
  BlockBuilder block(out, max_rows, max_columns, std::max<std::size_t>(cell_limit, 1));
  std::size_t i = 0;
  while (i < text.size()) {
    switch (out.separator) {
      case PasteSeparator::Tab:
        i = read_separated_line(text, i, u'\t', block);
        break;
      case PasteSeparator::Semicolon:
        i = read_separated_line(text, i, u';', block);
        break;
      case PasteSeparator::Spaces:
        i = read_spaced_line(text, i, block);
        break;
    }
  }
  return out;
}

std::u16string cut_cell_text(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return std::u16string(text);
  std::size_t keep = limit > 0 ? limit - 1 : 0;
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  std::u16string out(text.substr(0, keep));
  out.push_back(kEllipsis);
  return out;
}

std::u16string join_copied_cells(const std::vector<std::vector<std::u16string>>& rows) {
  std::u16string out;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (r > 0) out.push_back(u'\n');
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (c > 0) out.push_back(u'\t');
      const std::u16string& cell = rows[r][c];
      if (!needs_quotes(cell)) {
        out += cell;
        continue;
      }
      out.push_back(kQuote);
      for (char16_t ch : cell) {
        if (ch == kQuote) out.push_back(kQuote);
        out.push_back(ch);
      }
      out.push_back(kQuote);
    }
  }
  return out;
}
