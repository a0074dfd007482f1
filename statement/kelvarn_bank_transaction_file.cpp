#include "statement/kelvarn_bank_transaction_file.h"

#include <string_view>

#include "common/hresult.h"
#include "common/trace.h"

namespace kelvarn {
namespace {

constexpr std::size_t kVolumeHeaderLabelMinimum = 80;
constexpr std::size_t kHeaderLabel1Minimum = 73;
constexpr std::size_t kHeaderLabel2Minimum = 80;
constexpr std::size_t kUserHeaderLabelMinimum = 80;

// The mark sits after the first 41 characters of the volume header label.
constexpr std::size_t kMarkColumn = 41;
constexpr std::size_t kMarkLength = 6;

// A null path is traced as the empty text.
const char* PathText(const char* path) { return path != nullptr ? path : ""; }

}  // namespace

StatementLineReader& operator>>(StatementLineReader& stream, CTransactionRecord& record) {
  // A line that cannot be read is the empty line.
  std::string_view line;
  stream.ReadLine(line);
  record.Clear();
  if (line.size() < CTransactionRecord::kRecordLength) {
    if (line.empty()) throw CTransactionRecord::ErrEmptyLine;
    if (line.substr(0, 3) == "UTL") throw CEndOfVolume();
    return stream;  // another trailer or a second volume's header: passed over
  }
  record.Decode(line);
  return stream;
}

CKelvarnBankTransactionFile::CKelvarnBankTransactionFile(const char* path, OpenMode mode) {
  if (!OpenFile(path, mode)) {
    TraceWrite("CKelvarnBankTransactionFile() failed to open: ");
    TraceWrite(PathText(path));
  }
}

bool CKelvarnBankTransactionFile::OpenFile(const char* path, OpenMode mode) {
  try {
    if (path == nullptr) ThrowHresult(kInvalidArgument);
    stream_.Open(path, mode == OpenMode::Text);
    return ReadVolumeHeaderLabel() && ReadHeaderLabel1() && ReadHeaderLabel2() && ReadUserHeaderLabel();
  } catch (...) {
    TraceWrite("Failed to Open the file: ");
    TraceWrite(PathText(path));
    return false;
  }
}

bool CKelvarnBankTransactionFile::ReadLabel(const char* operationName, NarrowText& label, std::size_t minimumLength) {
  TraceWrite(operationName);
  if (!stream_.IsOpen()) return false;
  std::string_view line;
  stream_.ReadLine(line);  // an unreadable line stores the empty text
  label.Assign(line);
  return label.Length() >= minimumLength;
}

bool CKelvarnBankTransactionFile::ReadVolumeHeaderLabel() {
  return ReadLabel("ReadVolumeHeaderLabel", volumeHeaderLabel_, kVolumeHeaderLabelMinimum);
}

bool CKelvarnBankTransactionFile::ReadHeaderLabel1() {
  return ReadLabel("ReadHeaderLabel1", headerLabel1_, kHeaderLabel1Minimum);
}

bool CKelvarnBankTransactionFile::ReadHeaderLabel2() {
  return ReadLabel("ReadHeaderLabel2", headerLabel2_, kHeaderLabel2Minimum);
}

bool CKelvarnBankTransactionFile::ReadUserHeaderLabel() {
  return ReadLabel("ReadUserHeaderLabel", userHeaderLabel_, kUserHeaderLabelMinimum);
}

bool CKelvarnBankTransactionFile::IsStatementFile() const {
  if (volumeHeaderLabel_.Length() < kVolumeHeaderLabelMinimum) return false;
  const std::string_view mark = volumeHeaderLabel_.View().substr(kMarkColumn, kMarkLength);
  return !mark.empty() && mark == kStatementFileMark;
}

bool CKelvarnBankTransactionFile::ReadStatementRecord(CTransactionRecord& record) {
  bool result = true;
  try {
    if (!stream_.IsOpen()) {
      TraceWrite("File Stream is NOT open");
      throw CTransactionRecord::ErrStreamNotOpen;
    }
    stream_ >> record;
  } catch (const CEndOfVolume&) {
    TraceWrite("ErrEndOfVolume encountered\n");
    if (secondVolume_ == 1) {
      TraceWrite("End of second volume\n");
      result = false;
    } else {
      TraceWrite("Continuing for multi-volume file\n");
      secondVolume_ = 1;
    }
  } catch (...) {
    TraceWrite("Failed to read the Statement record\n");
    result = false;
  }
  return result;
}

}  // namespace kelvarn
