#pragma once
// An owned, NUL-terminated single-byte text (system ANSI code page) with value semantics.
// Portable operations only; the Windows operations (wide text, BSTR, string resources,
// formatting) live in narrow_text_win.cpp.
#include <cstddef>
#include <string>
#include <string_view>

namespace kelvarn {

class NarrowText {
 public:
  NarrowText() = default;
  // A null pointer throws kInvalidArgument.
  NarrowText(const char* text);  // NOLINT(google-explicit-constructor): texts convert freely
  explicit NarrowText(std::string_view text);
  // Copies report a failed allocation as kOutOfMemory, like every other operation.
  NarrowText(const NarrowText& other);
  NarrowText& operator=(const NarrowText& other);
  NarrowText(NarrowText&&) noexcept = default;
  NarrowText& operator=(NarrowText&&) noexcept = default;
  ~NarrowText() = default;

  std::size_t Length() const noexcept { return text_.size(); }
  bool IsEmpty() const noexcept { return text_.empty(); }
  const char* CStr() const noexcept { return text_.c_str(); }
  std::string_view View() const noexcept { return text_; }

  NarrowText& Assign(const char* text);  // null throws kInvalidArgument
  NarrowText& Assign(const NarrowText& text);
  NarrowText& Append(const char* text);  // null throws kInvalidArgument
  NarrowText& Append(const NarrowText& text);
  // From a counted run of bytes (reuses the storage already held: no allocation once it fits).
  NarrowText& Assign(std::string_view text);
  NarrowText& Append(std::string_view text);
  void Clear() noexcept { text_.clear(); }  // empty, keeping the storage

  // Cut down to the characters that exist: asking for more than remains gives the rest.
  NarrowText Left(std::size_t count) const;
  NarrowText Right(std::size_t count) const;
  NarrowText Mid(std::size_t start, std::size_t count) const;

  // Reading at or past the end throws kInvalidArgument.
  char At(std::size_t index) const;

  // Exact byte-for-byte comparison; a null text compares as the empty text.
  bool Equals(const char* text) const noexcept;
  bool Equals(const NarrowText& text) const noexcept { return text_ == text.text_; }
  friend bool operator==(const NarrowText& a, const NarrowText& b) noexcept { return a.Equals(b); }
  friend bool operator!=(const NarrowText& a, const NarrowText& b) noexcept { return !a.Equals(b); }

 private:
  std::string text_;
};

}  // namespace kelvarn
