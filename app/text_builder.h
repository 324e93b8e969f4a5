// Bounded UTF-16 text building and the program's own message formatter. "%s" takes a string,
// "%d" a signed 32-bit integer, "%c" one UTF-16 character, "%%" writes "%"; "%" before any
// other character writes "?" and consumes that character. A missing argument, or one of the
// wrong kind, also writes "?".
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

inline constexpr char16_t kEllipsis = u'\u2026';

// Characters beyond the capacity are counted but not stored, so length > capacity tells the
// caller that the text was cut. The buffer holds capacity + 1 characters (for the terminator).
struct TextBuilder {
  std::int64_t length = 0;
  std::int64_t capacity = 0;
  char16_t* buffer = nullptr;
};
inline bool builder_overflowed(const TextBuilder& b) {
  return b.length > b.capacity;
}
inline std::int64_t builder_stored(const TextBuilder& b) {
  return b.length < b.capacity ? b.length : b.capacity;
}
void builder_put(TextBuilder& b, char16_t c);
void builder_put(TextBuilder& b, std::u16string_view text);
// Writes the terminator behind the stored text.
void builder_terminate(TextBuilder& b);
// Marks a cut text: its last stored character becomes "…".
void builder_mark_cut(TextBuilder& b);

// Replaces the last of `length` characters with "…" (and a high surrogate before it, whose
// partner would be lost). Returns the new length; 0 stays 0.
std::int64_t cut_with_ellipsis(char16_t* text, std::int64_t length);

struct FormatArg {
  enum class Kind : std::uint8_t { None, String, Int, Char };
  Kind kind = Kind::None;
  std::u16string_view s;
  std::int32_t i = 0;
  char16_t c = 0;

  FormatArg() = default;
  FormatArg(const char16_t* v) : kind(v != nullptr ? Kind::String : Kind::None) {
    if (v != nullptr) s = v;
  }
  FormatArg(std::u16string_view v) : kind(Kind::String), s(v) {}
  FormatArg(std::int32_t v) : kind(Kind::Int), i(v) {}
  FormatArg(char16_t v) : kind(Kind::Char), c(v) {}
  FormatArg(char) = delete;  // a narrow character would silently become "%d"
};

void format_text_args(TextBuilder& b, std::u16string_view format, std::span<const FormatArg> args);

template <class... Args>
void format_text(TextBuilder& b, std::u16string_view format, const Args&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg()};
  format_text_args(b, format, std::span<const FormatArg>(list, sizeof...(Args)));
}

// Formats into buffer[0, size): the text is always terminated; when it does not fit it is cut,
// its last stored character becomes "…" and application error 9002 is raised. Returns the
// number of characters stored.
std::int64_t format_bounded_args(char16_t* buffer, std::int64_t size, std::u16string_view format,
                                 std::span<const FormatArg> args);

template <class... Args>
std::int64_t format_bounded(char16_t* buffer, std::int64_t size, std::u16string_view format,
                            const Args&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg()};
  return format_bounded_args(buffer, size, format,
                             std::span<const FormatArg>(list, sizeof...(Args)));
}
