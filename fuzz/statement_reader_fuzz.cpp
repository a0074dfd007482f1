// Any bytes as a statement file: recognition and a full read in text and binary mode, each
// compared with a plain model of the file's rules (lines, labels, body line classes, volumes).
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "statement/kelvarn_bank_transaction_file.h"
#include "statement/statement_line_reader.h"

namespace kelvarn {
namespace {

constexpr std::size_t kMaxLine = StatementLineReader::kMaxLineLength;
constexpr std::size_t kRecordLength = CTransactionRecord::kRecordLength;

// The file lives in memory (a memfd) and is reached by its /proc path, as the reader takes a
// path: nothing is left behind when libFuzzer ends the process.
int FileDescriptor() {
  static const int descriptor = memfd_create("kelvarn_statement_fuzz", 0);
  FUZZ_CHECK(descriptor >= 0);
  return descriptor;
}

const std::string& FilePath() {
  static const std::string path = "/proc/self/fd/" + std::to_string(FileDescriptor());
  return path;
}

void WriteFile(const std::string& bytes) {
  FUZZ_CHECK(ftruncate(FileDescriptor(), 0) == 0);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count =
        pwrite(FileDescriptor(), bytes.data() + written, bytes.size() - written, static_cast<off_t>(written));
    FUZZ_CHECK(count > 0);
    written += static_cast<std::size_t>(count);
  }
}

// The lines of the file: up to each line feed (the last one may have none), the carriage return
// of a CR LF pair dropped in text mode, at most kMaxLine characters, ended at a NUL. Each rule
// only shortens the line, so a line is a view of the file's bytes.
std::vector<std::string_view> ModelLines(std::string_view bytes, bool textMode) {
  std::vector<std::string_view> lines;
  std::size_t position = 0;
  while (position < bytes.size()) {
    const std::size_t lineFeed = bytes.find('\n', position);
    const bool ended = lineFeed != std::string_view::npos;
    std::string_view line = bytes.substr(position, ended ? lineFeed - position : std::string_view::npos);
    position = ended ? lineFeed + 1 : bytes.size();
    if (textMode && ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, kMaxLine);
    line = line.substr(0, line.find('\0'));
    lines.push_back(line);
  }
  return lines;
}

void CheckLines(const std::vector<std::string_view>& expected, bool textMode) {
  StatementLineReader reader;
  FUZZ_CHECK(reader.Open(FilePath().c_str(), textMode));
  std::string_view line;
  std::size_t index = 0;
  while (reader.ReadLine(line)) {
    FUZZ_CHECK(index < expected.size());
    FUZZ_CHECK(line == expected[index]);
    ++index;
  }
  FUZZ_CHECK(index == expected.size());
  FUZZ_CHECK(line.empty());
}

std::string_view Line(const std::vector<std::string_view>& lines, std::size_t index) {
  return index < lines.size() ? lines[index] : std::string_view();
}

void CheckRecord(CTransactionRecord& record, std::string_view line) {
  FUZZ_CHECK(record.SortCode().View() == line.substr(0, 6));
  FUZZ_CHECK(record.AccountNumber().View() == line.substr(6, 8));
  FUZZ_CHECK(record.TransactionCode().View() == line.substr(15, 2));
  FUZZ_CHECK(record.OriginatorName().View() == line.substr(46, 18));
  FUZZ_CHECK(record.ProcessingDate().View() == line.substr(100, 6));
  const std::string reference = std::string(line.substr(64, 18)) + " " + std::string(line.substr(82, 18));
  FUZZ_CHECK(record.Reference().View() == reference);
}

void CheckBlank(CTransactionRecord& record) {
  FUZZ_CHECK(record.SortCode().IsEmpty() && record.AccountNumber().IsEmpty() && record.OriginatorName().IsEmpty());
  FUZZ_CHECK(record.Amount() == 0.0 && record.Date() == 0.0);
  FUZZ_CHECK(record.Reference().IsEmpty());
  FUZZ_CHECK(!record.IsCredit());
}

// Opens the file as the import or the recognition does and reads it to the end, checking each
// result against the model.
void CheckStatement(const std::vector<std::string_view>& lines, OpenMode mode) {
  CKelvarnBankTransactionFile file(FilePath().c_str(), mode);
  const std::string_view volumeHeader = Line(lines, 0);
  FUZZ_CHECK(file.IsStatementFile() == (volumeHeader.size() >= 80 && volumeHeader.substr(41, 6) == "992087"));

  // The labels are read up to the first one that is too short.
  static constexpr std::size_t kLabelMinimum[] = {80, 73, 80, 80};
  std::size_t next = 0;
  for (const std::size_t minimum : kLabelMinimum) {
    const bool passed = Line(lines, next).size() >= minimum;
    if (next < lines.size()) ++next;
    if (!passed) break;
  }
  FUZZ_CHECK(file.VolumeHeaderLabel().View() == volumeHeader);

  CTransactionRecord record;
  bool secondVolume = false;
  for (;;) {
    const bool more = file.ReadStatementRecord(record);
    const std::string_view line = Line(lines, next);
    bool expected = true;
    if (line.empty()) {
      expected = false;  // the end of the file, or an empty line
    } else if (line.size() < kRecordLength && line.substr(0, 3) == "UTL") {
      expected = !secondVolume;
      secondVolume = true;
    }
    FUZZ_CHECK(more == expected);
    if (!more) break;
    ++next;
    if (line.size() >= kRecordLength) {
      CheckRecord(record, line);
    } else {
      CheckBlank(record);
    }
  }
}

}  // namespace
}  // namespace kelvarn

// The first byte is not part of the file: with its top bit set, the rest is repeated up to
// 63 KiB + (byte & 0x7F) * 16 bytes, so that small inputs give lines that cross the end of the
// reader's 64 KiB buffer at any point.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvarn;
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string bytes(rest);
  if ((data[0] & 0x80) != 0 && !rest.empty()) {
    const std::size_t target = std::size_t{63} * 1024 + static_cast<std::size_t>(data[0] & 0x7F) * 16;
    while (bytes.size() < target) bytes.append(rest);
  }
  WriteFile(bytes);
  for (const bool textMode : {true, false}) {
    const std::vector<std::string_view> lines = ModelLines(bytes, textMode);
    CheckLines(lines, textMode);
    CheckStatement(lines, textMode ? OpenMode::Text : OpenMode::Binary);
  }
  return 0;
}
