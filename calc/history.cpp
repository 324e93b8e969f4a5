#include "calc/history.h"

#include <algorithm>

#include "app/platform.h"
#include "app/settings.h"
#include "app/utf8.h"

namespace {

constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

std::u16string one_line(std::u16string_view formula) {
  std::u16string s(formula);
  for (char16_t& c : s) {
    if (c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029') c = u' ';
  }
  return s;
}

}  // namespace

void CalcHistory::add(std::u16string_view formula) {
  end_walk();
  std::u16string line = one_line(formula);
  if (line.empty() || line.size() > kMaxFormulaLength) return;
  if (std::all_of(line.begin(), line.end(), [](char16_t c) { return c == u' ' || c == u'\t'; }))
    return;
  if (!entries_.empty() && entries_.back() == line) return;
  entries_.push_back(std::move(line));
  while (entries_.size() > kMaxEntries) entries_.pop_front();
}

std::optional<std::u16string> CalcHistory::older(std::u16string_view current) {
  if (entries_.empty()) return std::nullopt;
  if (position_ == npos) {
    draft_.assign(current);
    position_ = entries_.size() - 1;
    return entries_[position_];
  }
  if (position_ == 0) return std::nullopt;
  return entries_[--position_];
}

std::optional<std::u16string> CalcHistory::newer() {
  if (position_ == npos) return std::nullopt;
  if (position_ + 1 < entries_.size()) return entries_[++position_];
  position_ = npos;
  return std::move(draft_);
}

void CalcHistory::clear() {
  entries_.clear();
  end_walk();
}

std::string history_file_text(const CalcHistory& history) {
  std::string out;
  for (const std::u16string& e : history.entries()) {
    out += utf16_to_utf8(e);
    out += '\n';
  }
  return out;
}

bool parse_history_file(std::string_view bytes, CalcHistory& out) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  std::u16string text;
  if (!utf8_to_utf16(bytes, text)) return false;
  if (text.starts_with(u"\uFEFF")) text.erase(0, 1);
  CalcHistory h;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(u'\n', begin);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line(text.data() + begin, end - begin);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    h.add(line);
    begin = end + 1;
  }
  out = std::move(h);
  return true;
}

std::filesystem::path history_path() {
  return settings_path().parent_path() / "history.txt";
}

bool read_history_file(const std::filesystem::path& path, CalcHistory& out) {
  struct Reader {
    std::string bytes;
    bool too_big = false;
  } reader;
  const PlatformRead r = platform_read_file(
      path,
      [](void* context, const unsigned char* data, std::size_t size) {
        auto* rd = static_cast<Reader*>(context);
        if (rd->bytes.size() + size > kMaxFileBytes) {
          rd->too_big = true;
          return false;
        }
        rd->bytes.append(reinterpret_cast<const char*>(data), size);
        return true;
      },
      &reader);
  if (r != PlatformRead::Ok || reader.too_big) return false;
  return parse_history_file(reader.bytes, out);
}

bool write_history_file(const std::filesystem::path& path, const CalcHistory& history) {
  std::error_code ec;
  if (!path.parent_path().empty()) std::filesystem::create_directories(path.parent_path(), ec);
  const std::string bytes = history_file_text(history);
  return platform_replace_file(path, bytes.data(), bytes.size());
}
