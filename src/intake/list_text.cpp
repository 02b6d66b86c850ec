#include "intake/list_text.h"

namespace tolvaran {
namespace {

std::size_t lineEnd(std::u16string_view text, std::size_t start) noexcept {
  const std::size_t end = text.find_first_of(u"\r\n", start);
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
    return *this;
  }
  // CR LF is one line end, not a line end and an empty line.
  const bool crLf = text_[end_] == u'\r' && end_ + 1 < text_.size() && text_[end_ + 1] == u'\n';
  start_ = end_ + (crLf ? 2 : 1);
  end_ = lineEnd(text_, start_);
  return *this;
}

}  // namespace tolvaran
