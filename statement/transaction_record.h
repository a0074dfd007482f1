#pragma once
// One transaction of a Kelvarn Bank statement file: the 106-character record line cut into its
// fields, with the amount and the processing date decoded.
#include <cstddef>
#include <string_view>

#include "common/narrow_text.h"

namespace kelvarn {

class CTransactionRecord {
 public:
  // Thrown by the statement reader as the plain value; caught inside ReadStatementRecord.
  enum { ErrEmptyLine = 3, ErrStreamNotOpen = 4 };

  static constexpr std::size_t kRecordLength = 106;

  CTransactionRecord() = default;  // the blank record

  // Back to the blank record: every text empty, amount and date 0 (the texts keep their storage).
  void Clear() noexcept;
  // Fills the fields from a record line of at least kRecordLength characters (later ones are
  // ignored); a shorter line throws kInvalidArgument.
  void Decode(std::string_view line);

  NarrowText SortCode() const { return sortCode_; }
  NarrowText AccountNumber() const { return accountNumber_; }
  double Amount() const noexcept { return amount_; }
  double Date() const noexcept { return date_; }
  const NarrowText& OriginatorName() const noexcept { return originatorName_; }

  const NarrowText& AccountType() const noexcept { return accountType_; }
  const NarrowText& TransactionCode() const noexcept { return transactionCode_; }
  const NarrowText& OriginatorSortCode() const noexcept { return originatorSortCode_; }
  const NarrowText& OriginatorAccountNumber() const noexcept { return originatorAccountNumber_; }
  const NarrowText& OriginatorReference() const noexcept { return originatorReference_; }
  const NarrowText& AccountName() const noexcept { return accountName_; }
  const NarrowText& ProcessingDate() const noexcept { return processingDate_; }

  // True for the transaction codes "90", "93", "95" and "99".
  bool IsCredit() const noexcept;
  // OriginatorReference, then a blank and AccountName when that is not empty; also kept in the
  // record.
  NarrowText Reference();

 private:
  void DecodeDate();

  NarrowText sortCode_;
  NarrowText accountNumber_;
  NarrowText accountType_;
  NarrowText transactionCode_;
  NarrowText originatorSortCode_;
  NarrowText originatorAccountNumber_;
  double amount_ = 0.0;  // currency units
  NarrowText originatorName_;
  NarrowText originatorReference_;
  NarrowText accountName_;
  double date_ = 0.0;  // OLE date
  NarrowText processingDate_;
  NarrowText reference_;
};

}  // namespace kelvarn
