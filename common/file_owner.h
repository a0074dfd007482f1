#pragma once
// The owner of a C runtime file.
#include <cstdio>
#include <memory>

namespace kelvarn {

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Closes the file and tells whether the close succeeded: a writer must check it, since the last
// buffered bytes reach the file only then. False when no file was open.
inline bool CloseFile(UniqueFile& file) noexcept {
  std::FILE* const released = file.release();
  return released != nullptr && std::fclose(released) == 0;
}

}  // namespace kelvarn
