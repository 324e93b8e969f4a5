// TextBuilder and the message formatter.
#include "app/text_builder.h"

#include "app/app_error.h"

namespace {

bool is_high_surrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

void put_int(TextBuilder& b, std::int32_t v) {
  // Through the magnitude in 64 bits, so the most negative value needs no special case.
  std::int64_t m = v;
  if (m < 0) {
    builder_put(b, u'-');
    m = -m;
  }
  char16_t digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + m % 10);
    m /= 10;
  } while (m != 0);
  while (n > 0) builder_put(b, digits[--n]);
}

}  // namespace

void builder_put(TextBuilder& b, char16_t c) {
  if (b.length < b.capacity) b.buffer[b.length] = c;
  ++b.length;
}

void builder_put(TextBuilder& b, std::u16string_view text) {
  for (char16_t c : text) builder_put(b, c);
}

void builder_terminate(TextBuilder& b) {
  if (b.buffer != nullptr) b.buffer[builder_stored(b)] = 0;
}

void builder_mark_cut(TextBuilder& b) {
  const std::int64_t stored = builder_stored(b);
  const std::int64_t kept = cut_with_ellipsis(b.buffer, stored);
  if (kept == stored) return;
  // A cut text stays marked as overflowed (length > capacity) while it gets shorter.
  if (b.length > b.capacity) {
    b.capacity = kept;
  } else {
    b.length = kept;
  }
}

std::int64_t cut_with_ellipsis(char16_t* text, std::int64_t length) {
  if (length <= 0) return 0;
  if (length >= 2 && is_high_surrogate(text[length - 2])) {
    text[length - 2] = kEllipsis;
    return length - 1;
  }
  text[length - 1] = kEllipsis;
  return length;
}

void format_text_args(TextBuilder& b, std::u16string_view format, std::span<const FormatArg> args) {
  std::size_t next = 0;
  auto take = [&](FormatArg::Kind kind) -> const FormatArg* {
    const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
    ++next;
    return arg != nullptr && arg->kind == kind ? arg : nullptr;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char16_t c = format[i];
    if (c != u'%') {
      builder_put(b, c);
      continue;
    }
    if (++i >= format.size()) {
      builder_put(b, u'?');
      break;
    }
    switch (format[i]) {
      case u's':
        if (const FormatArg* a = take(FormatArg::Kind::String)) {
          builder_put(b, a->s);
        } else {
          builder_put(b, u'?');
        }
        break;
      case u'd':
        if (const FormatArg* a = take(FormatArg::Kind::Int)) {
          put_int(b, a->i);
        } else {
          builder_put(b, u'?');
        }
        break;
      case u'c':
        if (const FormatArg* a = take(FormatArg::Kind::Char)) {
          builder_put(b, a->c);
        } else {
          builder_put(b, u'?');
        }
        break;
      case u'%':
        builder_put(b, u'%');
        break;
      default:
        builder_put(b, u'?');
        break;
    }
  }
}

std::int64_t format_bounded_args(char16_t* buffer, std::int64_t size, std::u16string_view format,
                                 std::span<const FormatArg> args) {
  if (buffer == nullptr || size <= 0) {
    set_app_error(kAppErrorBufferOverflow);
    return 0;
  }
  TextBuilder b{0, size - 1, buffer};
  format_text_args(b, format, args);
  if (builder_overflowed(b)) {
    builder_mark_cut(b);
    set_app_error(kAppErrorBufferOverflow);
  }
  builder_terminate(b);
  return builder_stored(b);
}
