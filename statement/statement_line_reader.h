#pragma once
// Buffered line input from a statement file, read in binary with the text-mode rule applied here,
// so that every platform sees the same lines.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "common/file_owner.h"

namespace kelvarn {

class StatementLineReader {
 public:
  // At most this many characters of a line are taken (a 1024-byte read buffer with its NUL).
  static constexpr std::size_t kMaxLineLength = 1023;

  StatementLineReader();
  ~StatementLineReader();
  StatementLineReader(const StatementLineReader&) = delete;
  StatementLineReader& operator=(const StatementLineReader&) = delete;

  // Opens for reading only (a missing file is not created); closes any file opened before.
  // `textMode` drops the carriage return of a CR LF pair; a lone carriage return stays.
  bool Open(const char* path, bool textMode);
  void Close() noexcept;
  bool IsOpen() const noexcept { return file_ != nullptr; }

  // The next line without its line feed, valid until the next call. False when no line can be
  // read (end of file, failed stream, not open). A longer line gives its first kMaxLineLength
  // characters and the rest of it, up to its line feed, is skipped. The line ends at its first
  // NUL byte, as the NUL-terminated text that receives it does.
  bool ReadLine(std::string_view& line) { return TakeLineInBuffer(line) || ReadLineAcrossBuffer(line); }

 private:
  // The next line when all of it, with its line feed, is in buffer_: a view of it there.
  bool TakeLineInBuffer(std::string_view& line) noexcept {
    if (begin_ == end_) return false;
    const char* start = buffer_.get() + begin_;
    const void* found = std::memchr(start, '\n', end_ - begin_);
    if (found == nullptr) return false;
    const std::size_t total = static_cast<std::size_t>(static_cast<const char*>(found) - start);
    std::size_t length = total;
    if (textMode_ && total > 0 && start[total - 1] == '\r') --length;
    if (length > kMaxLineLength) length = kMaxLineLength;
    if (nul_ - begin_ < length) length = nul_ - begin_;
    begin_ += total + 1;
    if (nul_ < begin_) nul_ = FindNul(begin_);
    line = std::string_view(start, length);
    return true;
  }
  // Every other case: a refill, a line that crosses the end of buffer_, the end of the file.
  bool ReadLineAcrossBuffer(std::string_view& line);
  bool Refill();
  // The first NUL byte of buffer_ at or after `from`, or end_ when there is none.
  std::size_t FindNul(std::size_t from) const noexcept;

  UniqueFile file_;
  bool textMode_ = false;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // next unread byte of buffer_
  std::size_t end_ = 0;    // one past the last valid byte of buffer_
  // The first NUL byte at or after begin_ (end_ when none): one search per buffer, not per line.
  std::size_t nul_ = 0;
  // A line that crosses the end of buffer_ is gathered here: its first kMaxLineLength + 1 bytes
  // (the extra one may be the carriage return that text mode drops).
  char line_[kMaxLineLength + 1];
};

}  // namespace kelvarn
