#include "intake/list_text.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kCrLf = u"\r\n";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::size_t lineEnd(std::u16string_view text, std::size_t start) noexcept {
  const std::size_t end = text.find(kCrLf, start);
  return end == std::u16string_view::npos ? text.size() : end;
}

}  // namespace

ListLines::iterator::iterator(std::u16string_view text) noexcept : text_(text) {
  if (text_.empty()) return;
  start_ = 0;
  end_ = lineEnd(text_, 0);
}

ListLines::iterator& ListLines::iterator::operator++() noexcept {
  if (start_ == kDone) return *this;
  if (end_ >= text_.size()) {
    start_ = end_ = kDone;
  } else {
    start_ = end_ + kCrLf.size();
    end_ = lineEnd(text_, start_);
  }
  return *this;
}

std::size_t byteOrderMarkLength(std::string_view bytes) noexcept {
  if (bytes.starts_with(kUtf16LeMark)) return kUtf16LeMark.size();
  if (bytes.starts_with(kUtf8Mark)) return kUtf8Mark.size();
  return 0;
}

ListEncoding listEncodingOf(std::string_view bytes) noexcept {
  if (bytes.starts_with(kUtf16LeMark)) return ListEncoding::kUtf16Le;
  if (bytes.starts_with(kUtf8Mark)) return ListEncoding::kUtf8;
  if (bytes.size() < 4 || bytes[3] == '\0') return ListEncoding::kUtf16Le;
  return ListEncoding::kAnsi;
}

}  // namespace tolvaran
