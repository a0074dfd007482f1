#include "common/narrow_text.h"

#include <new>
#include <stdexcept>

#include "common/hresult.h"

namespace kelvarn {
namespace {

const char* RequireText(const char* text) {
  if (text == nullptr) ThrowHresult(kInvalidArgument);
  return text;
}

// Every allocation failure of the text leaves as the component's out-of-memory value.
template <typename Operation>
void Guarded(Operation operation) {
  try {
    operation();
  } catch (const std::bad_alloc&) {
    ThrowHresult(kOutOfMemory);
  } catch (const std::length_error&) {
    ThrowHresult(kOutOfMemory);
  }
}

}  // namespace

NarrowText::NarrowText(const char* text) { Assign(text); }

NarrowText::NarrowText(std::string_view text) { Assign(text); }

NarrowText::NarrowText(const NarrowText& other) { Assign(other); }

NarrowText& NarrowText::operator=(const NarrowText& other) {
  Assign(other);
  return *this;
}

NarrowText& NarrowText::Assign(const char* text) {
  RequireText(text);
  Guarded([&] { text_.assign(text); });
  return *this;
}

NarrowText& NarrowText::Assign(const NarrowText& text) {
  if (this != &text) Guarded([&] { text_.assign(text.text_); });
  return *this;
}

NarrowText& NarrowText::Assign(std::string_view text) {
  // Clear and append: the cheapest way to refill storage that is already large enough.
  try {
    text_.clear();
    text_.append(text.data(), text.size());
  } catch (const std::bad_alloc&) {
    ThrowHresult(kOutOfMemory);
  } catch (const std::length_error&) {
    ThrowHresult(kOutOfMemory);
  }
  return *this;
}

NarrowText& NarrowText::Append(const char* text) {
  RequireText(text);
  Guarded([&] { text_.append(text); });
  return *this;
}

NarrowText& NarrowText::Append(const NarrowText& text) {
  Guarded([&] { text_.append(text.text_); });
  return *this;
}

NarrowText& NarrowText::Append(std::string_view text) {
  Guarded([&] { text_.append(text.data(), text.size()); });
  return *this;
}

NarrowText NarrowText::Left(std::size_t count) const { return NarrowText(View().substr(0, count)); }

NarrowText NarrowText::Right(std::size_t count) const {
  if (count >= text_.size()) return *this;
  return NarrowText(View().substr(text_.size() - count));
}

NarrowText NarrowText::Mid(std::size_t start, std::size_t count) const {
  if (start >= text_.size()) return NarrowText();
  return NarrowText(View().substr(start, count));
}

char NarrowText::At(std::size_t index) const {
  if (index >= text_.size()) ThrowHresult(kInvalidArgument);
  return text_[index];
}

bool NarrowText::Equals(const char* text) const noexcept { return text == nullptr ? text_.empty() : text_ == text; }

}  // namespace kelvarn
