#pragma once
// Reader of Kelvarn Bank statement files: four header labels, then transaction records of 106
// characters, up to two volumes in one file. Its conditions are traced, never reported.
#include <cstdint>

#include "common/narrow_text.h"
#include "statement/statement_line_reader.h"
#include "statement/transaction_record.h"

namespace kelvarn {

// Text drops the carriage return of a CR LF pair (recognition); binary keeps it (import).
enum class OpenMode { Text, Binary };

// Thrown by the record extraction at a user trailer label; caught by ReadStatementRecord.
class CEndOfVolume {};

// The record extraction: reads the next body line into the record (see the .cpp).
StatementLineReader& operator>>(StatementLineReader& stream, CTransactionRecord& record);

class CKelvarnBankTransactionFile {
 public:
  static constexpr const char* kStatementFileMark = "992087";

  CKelvarnBankTransactionFile(const char* path, OpenMode mode);
  CKelvarnBankTransactionFile(const CKelvarnBankTransactionFile&) = delete;
  CKelvarnBankTransactionFile& operator=(const CKelvarnBankTransactionFile&) = delete;

  bool OpenFile(const char* path, OpenMode mode);
  bool ReadVolumeHeaderLabel();
  bool ReadHeaderLabel1();
  bool ReadHeaderLabel2();
  bool ReadUserHeaderLabel();

  bool IsStatementFile() const;
  bool ReadStatementRecord(CTransactionRecord& record);

  const NarrowText& VolumeHeaderLabel() const noexcept { return volumeHeaderLabel_; }
  const NarrowText& HeaderLabel1() const noexcept { return headerLabel1_; }
  const NarrowText& HeaderLabel2() const noexcept { return headerLabel2_; }
  const NarrowText& UserHeaderLabel() const noexcept { return userHeaderLabel_; }

 private:
  bool ReadLabel(const char* operationName, NarrowText& label, std::size_t minimumLength);

  NarrowText volumeHeaderLabel_;
  NarrowText headerLabel1_;
  NarrowText headerLabel2_;
  NarrowText userHeaderLabel_;
  StatementLineReader stream_;
  std::int32_t secondVolume_ = 0;  // 1 once the first user trailer label has been met
};

}  // namespace kelvarn
