#pragma once
// The shape of a list: its lines, whatever ends them.
#include <cstddef>
#include <iterator>
#include <string_view>

namespace tolvaran {

// The lines of a list text, found one at a time as they are walked, so that
// a pasted text of millions of lines costs no memory beyond itself. CR LF,
// LF and CR each end a line: lists come from Windows editors, Unix tools and
// old Mac ones, and no path holds either character. An empty text has no
// lines; a text ending in a line end has an empty last line.
class ListLines {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::u16string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::u16string_view*;
    using reference = std::u16string_view;

    iterator() = default;
    reference operator*() const noexcept { return text_.substr(start_, end_ - start_); }
    iterator& operator++() noexcept;
    iterator operator++(int) noexcept {
      iterator old = *this;
      ++*this;
      return old;
    }
    friend bool operator==(const iterator& a, const iterator& b) noexcept {
      return a.start_ == b.start_;
    }

   private:
    friend class ListLines;
    static constexpr std::size_t kDone = std::u16string_view::npos;
    explicit iterator(std::u16string_view text) noexcept;
    std::u16string_view text_;
    std::size_t start_ = kDone;  // kDone once walked past the last line
    std::size_t end_ = kDone;
  };

  explicit ListLines(std::u16string_view text) noexcept : text_(text) {}
  [[nodiscard]] iterator begin() const noexcept { return iterator(text_); }
  [[nodiscard]] iterator end() const noexcept { return iterator(); }

 private:
  std::u16string_view text_;
};

}  // namespace tolvaran
