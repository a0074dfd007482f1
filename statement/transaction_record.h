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

  NarrowText SortCode() const { return Field(kSortCode); }
  NarrowText AccountNumber() const { return Field(kAccountNumber); }
  double Amount() const noexcept { return amount_; }
  double Date() const noexcept { return date_; }
  NarrowText OriginatorName() const { return Field(kOriginatorName); }

  NarrowText AccountType() const { return Field(kAccountType); }
  NarrowText TransactionCode() const { return Field(kTransactionCode); }
  NarrowText OriginatorSortCode() const { return Field(kOriginatorSortCode); }
  NarrowText OriginatorAccountNumber() const { return Field(kOriginatorAccountNumber); }
  NarrowText OriginatorReference() const { return Field(kOriginatorReference); }
  NarrowText AccountName() const { return Field(kAccountName); }
  NarrowText ProcessingDate() const { return Field(kProcessingDate); }

  // True for the transaction codes "90", "93", "95" and "99".
  bool IsCredit() const noexcept;
  // OriginatorReference, then a blank and AccountName when that is not empty; also kept in the
  // record.
  NarrowText Reference();

 private:
  // A field's run of columns of the record line (0-based start, width).
  struct Columns {
    std::size_t start;
    std::size_t width;
  };
  static constexpr Columns kSortCode{0, 6};
  static constexpr Columns kAccountNumber{6, 8};
  static constexpr Columns kAccountType{14, 1};
  static constexpr Columns kTransactionCode{15, 2};
  static constexpr Columns kOriginatorSortCode{17, 6};
  static constexpr Columns kOriginatorAccountNumber{23, 8};
  // Columns 32 to 35 are not kept.
  static constexpr Columns kAmount{35, 11};
  static constexpr Columns kOriginatorName{46, 18};
  static constexpr Columns kOriginatorReference{64, 18};
  static constexpr Columns kAccountName{82, 18};
  static constexpr Columns kProcessingDate{100, 6};

  // The field's text: empty in a blank record, else exactly its columns, blanks kept.
  std::string_view FieldView(Columns columns) const noexcept;
  NarrowText Field(Columns columns) const { return NarrowText(FieldView(columns)); }
  void DecodeDate();
  // The 6-character processing date (a blank, a two-digit year, a three-digit day of the year)
  // as an OLE date; 0 when it names no day.
  static double DateFromProcessingDate(std::string_view field) noexcept;

  // The text fields are kept as the record line itself, each one its run of columns, so that
  // decoding a line is one copy and no allocation.
  char line_[kRecordLength] = {};
  bool decoded_ = false;  // false: the blank record, every text empty
  double amount_ = 0.0;   // currency units
  double date_ = 0.0;     // OLE date
  NarrowText reference_;
  // The statement's records mostly share one processing date: the last decoding is kept
  // (across Clear) and reused while the date field stays the same.
  char lastDateField_[6] = {};
  double lastDate_ = 0.0;
  bool hasLastDate_ = false;
};

}  // namespace kelvarn
