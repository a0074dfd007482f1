#include "statement/statement_line_reader.h"

#include <cstring>
#include <utility>

namespace kelvarn {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// The line as the callers see it: the carriage return of a CR LF pair dropped in text mode,
// cut to the longest line, and ended at a NUL byte.
std::string_view FinishLine(const char* bytes, std::size_t stored, std::size_t total, char lastByte,
                            bool endedByLineFeed, bool textMode) {
  std::size_t length = total;
  if (textMode && endedByLineFeed && total > 0 && lastByte == '\r') --length;
  if (length > StatementLineReader::kMaxLineLength) length = StatementLineReader::kMaxLineLength;
  if (length > stored) length = stored;
  if (const void* nul = std::memchr(bytes, '\0', length)) {
    length = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes);
  }
  return std::string_view(bytes, length);
}

}  // namespace

StatementLineReader::StatementLineReader() = default;

StatementLineReader::~StatementLineReader() = default;

bool StatementLineReader::Open(const char* path, bool textMode) {
  Close();
  if (path == nullptr) return false;
  UniqueFile file(std::fopen(path, "rb"));
  if (!file) return false;
  // This reader does its own buffering.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  file_ = std::move(file);
  textMode_ = textMode;
  begin_ = end_ = nul_ = 0;
  return true;
}

void StatementLineReader::Close() noexcept {
  file_.reset();
  begin_ = end_ = nul_ = 0;
}

bool StatementLineReader::Refill() {
  if (file_ == nullptr) return false;
  begin_ = 0;
  end_ = std::fread(buffer_.get(), 1, kBufferSize, file_.get());
  nul_ = FindNul(0);
  return end_ > 0;
}

std::size_t StatementLineReader::FindNul(std::size_t from) const noexcept {
  const void* nul = std::memchr(buffer_.get() + from, '\0', end_ - from);
  return nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.get()) : end_;
}

bool StatementLineReader::ReadLineAcrossBuffer(std::string_view& line) {
  line = std::string_view();
  if (file_ == nullptr) return false;
  if (begin_ == end_) {
    if (!Refill()) return false;
    if (TakeLineInBuffer(line)) return true;
  }

  // The line crosses the end of the buffer: keep its beginning, skip the rest up to the LF.
  std::size_t stored = 0;
  std::size_t total = 0;
  char lastByte = '\0';
  bool endedByLineFeed = false;
  for (;;) {
    const char* chunk = buffer_.get() + begin_;
    const std::size_t chunkSize = end_ - begin_;
    const void* found = std::memchr(chunk, '\n', chunkSize);
    const std::size_t taken = found ? static_cast<std::size_t>(static_cast<const char*>(found) - chunk) : chunkSize;
    if (stored < sizeof line_) {
      const std::size_t copied = taken < sizeof line_ - stored ? taken : sizeof line_ - stored;
      std::memcpy(line_ + stored, chunk, copied);
      stored += copied;
    }
    if (taken > 0) lastByte = chunk[taken - 1];
    total += taken;
    if (found) {
      begin_ += taken + 1;
      if (nul_ < begin_) nul_ = FindNul(begin_);
      endedByLineFeed = true;
      break;
    }
    begin_ = end_;
    if (!Refill()) break;  // the last line of the file has no line feed
  }
  line = FinishLine(line_, stored, total, lastByte, endedByLineFeed, textMode_);
  return true;
}

}  // namespace kelvarn
