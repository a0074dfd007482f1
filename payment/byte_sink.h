#pragma once
// Where the payment file's bytes go. The export writes to a file opened in binary mode, so the
// bytes given here are exactly the bytes on disk (line ends included).
#include <cstdio>
#include <string>
#include <string_view>

namespace kelvarn {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// Appends to a C stream; remembers a short write so the caller can tell after the run.
class FileByteSink final : public ByteSink {
 public:
  explicit FileByteSink(std::FILE* file) noexcept : file_(file) {}
  void Write(std::string_view bytes) override {
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
  }
  bool Failed() const noexcept { return failed_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
};

class StringByteSink final : public ByteSink {
 public:
  void Write(std::string_view bytes) override { bytes_.append(bytes); }
  const std::string& Bytes() const noexcept { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace kelvarn
