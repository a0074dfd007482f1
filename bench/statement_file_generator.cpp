#include "bench/statement_file_generator.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/file_owner.h"

namespace kelvarn::bench {
namespace {

constexpr std::size_t kLabelLength = 80;
constexpr std::size_t kRecordLength = 106;
constexpr const char* kLineEnd = "\r\n";

// Pads or cuts `text` to `width` characters.
std::string Fixed(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string Number(std::uint64_t value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*llu", width, static_cast<unsigned long long>(value % 100000000000ull));
  return text;
}

std::string VolumeHeaderLabel() {
  // The statement file mark sits in columns 42 to 47.
  return Fixed(Fixed("VOL1KV0001", 41) + "992087 KELVARN BANK STATEMENT", kLabelLength);
}

std::vector<std::string> HeaderLabels(int volume) {
  return {VolumeHeaderLabel(),
          Fixed("HDR1AKELVARNSTMT   000001000100" + Number(static_cast<unsigned>(volume), 2) +
                    "00010001 26335 26335 000000",
                kLabelLength),
          Fixed("HDR2F0200000106          STATEMENT", kLabelLength),
          Fixed("UHL1 26335999999    000000001 DAILY  " + Number(static_cast<unsigned>(volume), 4), kLabelLength)};
}

std::vector<std::string> TrailerLabels(int volume, std::uint64_t records) {
  return {Fixed("EOF1AKELVARNSTMT   0000010001" + Number(static_cast<unsigned>(volume), 3), kLabelLength),
          Fixed("EOF2F0200000106", kLabelLength), Fixed("UTL1 " + Number(records, 8), kLabelLength)};
}

// Record `index`: the two accounts alternate; codes, amounts, names and days vary.
std::string Record(std::uint64_t index) {
  static const char* const kCodes[] = {"99", "17", "90", "01", "93", "95"};
  static const char* const kNames[] = {"ACME SUPPLIES LTD", "CITY POWER", "BIG CUSTOMER PLC", "BANK CHARGES"};
  const bool first = index % 2 == 0;
  std::string line;
  line.reserve(kRecordLength);
  line += first ? kFirstSortCode : kSecondSortCode;
  line += first ? kFirstAccountNumber : kSecondAccountNumber;
  line += "0";
  line += kCodes[index % 6];
  line += Number(112233 + index % 1000, 6);
  line += Number(44556677 + index % 100000, 8);
  line += "0000";
  line += Number(index * 37 % 100000000, 11);
  line += Fixed(kNames[index % 4], 18);
  line += Fixed("INV " + std::to_string(index), 18);
  line += Fixed("SAMPLE TRADING", 18);
  line += " 26" + Number(1 + index / 5000 % 365, 3);  // a few thousand records per day
  return line;
}

bool WriteLine(std::FILE* file, const std::string& line, GeneratedStatement& written) {
  if (std::fwrite(line.data(), 1, line.size(), file) != line.size()) return false;
  if (std::fputs(kLineEnd, file) < 0) return false;
  ++written.lines;
  written.bytes += line.size() + 2;
  return true;
}

std::uint64_t ExpectedBytes(std::uint64_t recordCount) {
  // Per volume: four header labels and three trailer labels of 80 characters; CR LF on every line.
  return std::uint64_t{2} * 7 * (kLabelLength + 2) + recordCount * (kRecordLength + 2);
}

}  // namespace

bool WriteStatementFile(const std::string& path, std::uint64_t recordCount, GeneratedStatement& written) {
  written = GeneratedStatement();
  UniqueFile file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  std::setvbuf(file.get(), nullptr, _IOFBF, 1 << 20);
  const std::uint64_t firstVolume = recordCount / 2;
  std::uint64_t index = 0;
  for (int volume = 1; volume <= 2; ++volume) {
    for (const std::string& label : HeaderLabels(volume)) {
      if (!WriteLine(file.get(), label, written)) return false;
    }
    const std::uint64_t end = volume == 1 ? firstVolume : recordCount;
    const std::uint64_t inVolume = end - index;
    for (; index < end; ++index) {
      const std::string record = Record(index);
      if (record.size() != kRecordLength || !WriteLine(file.get(), record, written)) return false;
      ++written.records;
    }
    for (const std::string& label : TrailerLabels(volume, inVolume)) {
      if (!WriteLine(file.get(), label, written)) return false;
    }
  }
  return CloseFile(file);
}

bool EnsureStatementFile(const std::string& path, std::uint64_t recordCount, GeneratedStatement& written) {
  if (UniqueFile existing{std::fopen(path.c_str(), "rb")}) {
    if (std::fseek(existing.get(), 0, SEEK_END) == 0 &&
        static_cast<std::uint64_t>(std::ftell(existing.get())) == ExpectedBytes(recordCount)) {
      written.records = recordCount;
      written.lines = std::uint64_t{2} * 7 + recordCount;
      written.bytes = ExpectedBytes(recordCount);
      return true;
    }
  }
  const std::string temporary = path + ".partial";
  if (!WriteStatementFile(temporary, recordCount, written)) {
    std::remove(temporary.c_str());
    return false;
  }
  std::remove(path.c_str());
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace kelvarn::bench
