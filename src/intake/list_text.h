#pragma once
// The shape of a list: lines between CR LF pairs, and how the bytes of a list
// file become text.
#include <cstddef>
#include <iterator>
#include <string_view>

namespace tolvaran {

// The lines of a list text, found one at a time as they are walked, so that
// a pasted text of millions of lines costs no memory beyond itself. Only CR
// LF ends a line: a bare CR or LF belongs to its line. An empty text has no
// lines; a text ending in CR LF has an empty last line.
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

// How the bytes of a list file are read.
enum class ListEncoding { kAnsi, kUtf16Le, kUtf8 };

// A byte-order mark decides first (FF FE: UTF-16LE, EF BB BF: UTF-8);
// otherwise a zero fourth byte, or a file shorter than four bytes, means
// UTF-16LE (the second half of a Latin character), anything else the ANSI
// code page.
[[nodiscard]] ListEncoding listEncodingOf(std::string_view bytes) noexcept;

// The length of the byte-order mark the bytes begin with (2, 3 or 0).
[[nodiscard]] std::size_t byteOrderMarkLength(std::string_view bytes) noexcept;

}  // namespace tolvaran
