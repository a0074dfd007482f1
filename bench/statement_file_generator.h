#pragma once
// Writes statement files of any size in the bank's layout, for the benchmarks: two volumes, each
// with its four header labels, transaction records of 106 characters and its trailer labels.
#include <cstdint>
#include <string>

namespace kelvarn::bench {

struct GeneratedStatement {
  std::uint64_t records = 0;  // transaction records written (both volumes)
  std::uint64_t lines = 0;    // every line: labels and records
  std::uint64_t bytes = 0;    // size of the file
};

// The two accounts whose records alternate through the file.
inline constexpr const char* kFirstSortCode = "123456";
inline constexpr const char* kFirstAccountNumber = "12345678";
inline constexpr const char* kSecondSortCode = "654321";
inline constexpr const char* kSecondAccountNumber = "87654321";

// Writes `recordCount` records (the first half in volume 1, the rest in volume 2) to `path`,
// lines ended by CR LF as the bank sends them. False when the file cannot be written.
bool WriteStatementFile(const std::string& path, std::uint64_t recordCount, GeneratedStatement& written);

// The file already at `path` when it has the size a file of `recordCount` records has, else
// a newly written one (through a temporary file, so an interrupted run leaves no partial file).
bool EnsureStatementFile(const std::string& path, std::uint64_t recordCount, GeneratedStatement& written);

}  // namespace kelvarn::bench
