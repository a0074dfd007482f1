#include "statement/kelvarn_bank_transaction_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/trace.h"
#include "statement/statement_line_reader.h"

namespace kelvarn {
namespace {

using Texts = std::vector<std::string>;

// Replaces the trace sink for one test and gives back every text written, in order.
class TraceRecorder {
 public:
  TraceRecorder() {
    previous_ = SetTraceSink([this](const char* text) { texts.emplace_back(text); });
  }
  ~TraceRecorder() { SetTraceSink(previous_); }
  Texts texts;

 private:
  TraceSink previous_;
};

std::string Fixture(const char* name) { return std::string(KELVARN_FIXTURES) + "/statement/" + name; }

std::string WriteFile(const std::string& name, const std::string& bytes) {
  std::string path = ::testing::TempDir() + "kelvarn_statement_" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr) << path;
  if (file != nullptr) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

std::string Padded(std::string text, std::size_t length) {
  text.resize(length, ' ');
  return text;
}

// A volume header label of `length` characters with the mark starting at 1-based `markColumn`.
std::string VolumeLabel(std::size_t length, std::size_t markColumn = 42) {
  std::string label = Padded("VOL1KV0001", markColumn - 1) + "992087 KELVARN BANK STATEMENT";
  label.resize(length, ' ');
  return label;
}

std::string Headers(const std::string& lineEnd = "\n") {
  return VolumeLabel(80) + lineEnd + Padded("HDR1AKELVARNSTMT", 80) + lineEnd + Padded("HDR2F0200000106", 80) +
         lineEnd + Padded("UHL1  07123", 80) + lineEnd;
}

// A 106-character transaction record for the given sort code and amount field.
std::string Record(const std::string& sortCode, const std::string& amount = "00000012345") {
  std::string line = sortCode + "123456780994011221122334400000" + amount;
  line = Padded(line + "NAME", 64);
  line = Padded(line + "REFERENCE", 82);
  line = Padded(line + "ACCOUNT", 100) + " 07123";
  return line;
}

const std::string kTrailer = Padded("UTL1 00000001", 80);

// Every ReadStatementRecord call until it yields false: the record's sort code, "blank" or "end".
Texts ReadAll(CKelvarnBankTransactionFile& file) {
  Texts results;
  for (int guard = 0; guard < 100; ++guard) {
    CTransactionRecord record;
    if (!file.ReadStatementRecord(record)) {
      results.push_back("end");
      break;
    }
    results.push_back(record.SortCode().IsEmpty() ? "blank" : record.SortCode().CStr());
  }
  return results;
}

const Texts kOpenedTraces = {"ReadVolumeHeaderLabel", "ReadHeaderLabel1", "ReadHeaderLabel2", "ReadUserHeaderLabel"};

Texts Joined(Texts first, const Texts& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST(TransactionFile, ReadsOneVolumeWithTheExactTraces) {
  TraceRecorder trace;
  CKelvarnBankTransactionFile file(Fixture("one_volume.txt").c_str(), OpenMode::Binary);
  EXPECT_TRUE(file.IsStatementFile());
  EXPECT_EQ(file.VolumeHeaderLabel().View(),
            "VOL1KV0001                               992087 KELVARN BANK STATEMENT          ");
  EXPECT_EQ(file.HeaderLabel1().Length(), 80u);
  EXPECT_EQ(file.UserHeaderLabel().View().substr(0, 4), "UHL1");

  CTransactionRecord record;
  ASSERT_TRUE(file.ReadStatementRecord(record));
  EXPECT_EQ(record.SortCode().View(), "123456");
  EXPECT_DOUBLE_EQ(record.Amount(), 123.45);
  EXPECT_EQ(record.Date(), 39205.0);
  EXPECT_EQ(ReadAll(file), (Texts{"654321", "blank", "blank", "blank", "end"}));
  EXPECT_EQ(trace.texts, Joined(kOpenedTraces, {"ErrEndOfVolume encountered\n", "Continuing for multi-volume file\n",
                                                "Failed to read the Statement record\n"}));
}

TEST(TransactionFile, ReadsTwoVolumesInBothModesAndLineEnds) {
  struct Case {
    const char* fixture;
    OpenMode mode;
  };
  const Case cases[] = {{"two_volumes.txt", OpenMode::Binary},
                        {"two_volumes.txt", OpenMode::Text},
                        {"two_volumes_crlf.txt", OpenMode::Binary},
                        {"two_volumes_crlf.txt", OpenMode::Text}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + (c.mode == OpenMode::Text ? " text" : " binary"));
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(Fixture(c.fixture).c_str(), c.mode);
    EXPECT_TRUE(file.IsStatementFile());
    // The second volume's header labels and the other trailers are passed over as short lines.
    EXPECT_EQ(ReadAll(file), (Texts{"123456", "654321", "blank", "blank", "blank", "blank", "blank", "blank", "blank",
                                    "123456", "blank", "blank", "end"}));
    EXPECT_EQ(trace.texts, Joined(kOpenedTraces, {"ErrEndOfVolume encountered\n", "Continuing for multi-volume file\n",
                                                  "ErrEndOfVolume encountered\n", "End of second volume\n"}));
  }
}

TEST(TransactionFile, VolumesAndTrailers) {
  struct Case {
    const char* name;
    std::string body;
    Texts results;
    Texts traces;
  };
  const Texts kEndOfFile = {"Failed to read the Statement record\n"};
  const Texts kFirstTrailer = {"ErrEndOfVolume encountered\n", "Continuing for multi-volume file\n"};
  const Texts kSecondTrailer = {"ErrEndOfVolume encountered\n", "End of second volume\n"};
  const Case cases[] = {
      {"three trailers: nothing after the second",
       Record("111111") + "\n" + kTrailer + "\n" + Record("222222") + "\n" + kTrailer + "\n" + Record("333333") + "\n" +
           kTrailer + "\n",
       {"111111", "blank", "222222", "end"},
       Joined(kFirstTrailer, kSecondTrailer)},
      {"no trailer: the end of the file",
       Record("111111") + "\n" + Record("222222") + "\n",
       {"111111", "222222", "end"},
       kEndOfFile},
      {"last line without a line feed",
       Record("111111") + "\n" + Record("222222"),
       {"111111", "222222", "end"},
       kEndOfFile},
      {"an empty line ends the reading",
       Record("111111") + "\n\n" + Record("222222") + "\n",
       {"111111", "end"},
       kEndOfFile},
      {"a 106-character line starting UTL is a record",
       "UTL" + Record("111111").substr(3) + "\n" + kTrailer.substr(0, 3) + "\n",
       {"UTL111", "blank", "end"},
       Joined(kFirstTrailer, kEndOfFile)},
      {"a 105-character line is passed over", Record("111111").substr(0, 105) + "\n", {"blank", "end"}, kEndOfFile},
      {"no body at all", "", {"end"}, kEndOfFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteFile("volumes.txt", Headers() + c.body);
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
    EXPECT_EQ(ReadAll(file), c.results);
    EXPECT_EQ(trace.texts, Joined(kOpenedTraces, c.traces));
  }
}

TEST(TransactionFile, EmptyAndCarriageReturnLinesInBothModes) {
  struct Case {
    const char* name;
    std::string body;
    OpenMode mode;
    Texts results;
  };
  const std::string records = Record("111111") + "\n";
  const Case cases[] = {
      {"CR-only line, binary: passed over",
       records + "\r\n" + Record("222222") + "\n",
       OpenMode::Binary,
       {"111111", "blank", "222222", "end"}},
      {"CR-only line, text: the end", records + "\r\n" + Record("222222") + "\n", OpenMode::Text, {"111111", "end"}},
      {"empty line, binary", records + "\n" + Record("222222") + "\n", OpenMode::Binary, {"111111", "end"}},
      {"empty line, text", records + "\n" + Record("222222") + "\n", OpenMode::Text, {"111111", "end"}},
      {"lone CR stays in the line, text",
       records + "\r" + Record("222222") + "\n",
       OpenMode::Text,
       {"111111", "\r22222", "end"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteFile("cr.txt", Headers() + c.body);
    CKelvarnBankTransactionFile file(path.c_str(), c.mode);
    EXPECT_EQ(ReadAll(file), c.results);
  }
}

TEST(TransactionFile, CarriageReturnCountsOnlyInBinaryMode) {
  // A 79-character label and a 105-character line, each followed by CR LF.
  const std::string path =
      WriteFile("crlf.txt", VolumeLabel(79) + "\r\n" + Padded("HDR1", 80) + "\r\n" + Padded("HDR2", 80) + "\r\n" +
                                Padded("UHL1", 80) + "\r\n" + Record("111111").substr(0, 105) + "\r\n");
  {
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
    EXPECT_EQ(file.VolumeHeaderLabel().View(), VolumeLabel(79) + "\r");
    EXPECT_TRUE(file.IsStatementFile());
    CTransactionRecord record;
    ASSERT_TRUE(file.ReadStatementRecord(record));
    EXPECT_EQ(record.SortCode().View(), "111111");
    EXPECT_EQ(record.ProcessingDate().View(), " 0712\r");
    EXPECT_EQ(trace.texts, kOpenedTraces);
  }
  {
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Text);
    EXPECT_EQ(file.VolumeHeaderLabel().View(), VolumeLabel(79));
    EXPECT_FALSE(file.IsStatementFile());
    const std::string& pathText = path;
    EXPECT_EQ(trace.texts,
              (Texts{"ReadVolumeHeaderLabel", "CKelvarnBankTransactionFile() failed to open: ", pathText}));
    // After a failed open the following lines are read as body lines.
    EXPECT_EQ(ReadAll(file), (Texts{"blank", "blank", "blank", "blank", "end"}));
  }
}

TEST(TransactionFile, LabelLengths) {
  struct Case {
    const char* name;
    std::size_t volume, header1, header2, user;
    Texts traces;  // after the label names
  };
  const Texts kFailed = {"CKelvarnBankTransactionFile() failed to open: ", "<path>"};
  const Case cases[] = {
      {"all at their minimum", 80, 73, 80, 80, {}},  {"longer labels", 120, 80, 100, 90, {}},
      {"volume header 79", 79, 80, 80, 80, kFailed}, {"header 1 of 72", 80, 72, 80, 80, kFailed},
      {"header 2 of 79", 80, 80, 79, 80, kFailed},   {"user header of 79", 80, 80, 80, 79, kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteFile("labels.txt", VolumeLabel(c.volume) + "\n" + Padded("HDR1", c.header1) + "\n" +
                                                         Padded("HDR2", c.header2) + "\n" + Padded("UHL1", c.user) +
                                                         "\n" + Record("111111") + "\n");
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
    // The labels are read in order up to the first that is too short.
    const std::size_t lengths[] = {c.volume, c.header1, c.header2, c.user};
    const std::size_t minimums[] = {80, 73, 80, 80};
    const NarrowText* labels[] = {&file.VolumeHeaderLabel(), &file.HeaderLabel1(), &file.HeaderLabel2(),
                                  &file.UserHeaderLabel()};
    Texts expected;
    bool reading = true;
    for (int index = 0; index < 4; ++index) {
      if (reading) expected.push_back(kOpenedTraces[index]);
      EXPECT_EQ(labels[index]->Length(), reading ? lengths[index] : 0u) << index;
      reading = reading && lengths[index] >= minimums[index];
    }
    for (const std::string& text : c.traces) expected.push_back(text == "<path>" ? path : text);
    EXPECT_EQ(trace.texts, expected);
    EXPECT_EQ(file.IsStatementFile(), c.volume >= 80);
  }
}

TEST(TransactionFile, RecognisesTheMarkOnlyAtColumn42OfA80CharacterLabel) {
  struct Case {
    const char* name;
    std::string label;
    bool recognised;
  };
  const Case cases[] = {
      {"80 characters, mark at 42", VolumeLabel(80, 42), true},
      {"longer label, mark at 42", VolumeLabel(200, 42), true},
      {"79 characters, mark at 42", VolumeLabel(79, 42), false},
      {"mark at 41", VolumeLabel(80, 41), false},
      {"mark at 43", VolumeLabel(80, 43), false},
      {"other digits", Padded(Padded("VOL1", 41) + "992088", 80), false},
      {"blank mark", Padded("VOL1", 80), false},
      {"mark with a blank", Padded(Padded("VOL1", 41) + "99208 7", 80), false},
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile("mark.txt", c.label + "\n");
    TraceRecorder trace;
    CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Text);
    EXPECT_EQ(file.IsStatementFile(), c.recognised) << c.name;
  }
}

TEST(TransactionFile, MissingFile) {
  const std::string path = ::testing::TempDir() + "kelvarn_statement_does_not_exist.txt";
  std::remove(path.c_str());
  TraceRecorder trace;
  CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Text);
  EXPECT_FALSE(file.IsStatementFile());
  EXPECT_TRUE(file.VolumeHeaderLabel().IsEmpty());
  EXPECT_TRUE(file.HeaderLabel1().IsEmpty());
  CTransactionRecord record;
  EXPECT_FALSE(file.ReadStatementRecord(record));
  EXPECT_EQ(trace.texts, (Texts{"ReadVolumeHeaderLabel", "CKelvarnBankTransactionFile() failed to open: ", path,
                                "File Stream is NOT open", "Failed to read the Statement record\n"}));
  // Opening for reading never creates the file.
  std::FILE* created = std::fopen(path.c_str(), "rb");
  EXPECT_EQ(created, nullptr);
  if (created != nullptr) std::fclose(created);
}

TEST(TransactionFile, NullPathIsAFileThatCannotBeOpened) {
  TraceRecorder trace;
  CKelvarnBankTransactionFile file(nullptr, OpenMode::Binary);
  EXPECT_FALSE(file.IsStatementFile());
  EXPECT_EQ(trace.texts,
            (Texts{"Failed to Open the file: ", "", "CKelvarnBankTransactionFile() failed to open: ", ""}));
}

TEST(TransactionFile, FailureWhileOpeningIsTraced) {
  const std::string path = WriteFile("throwing.txt", Headers());
  TraceRecorder trace;
  // A sink that fails on the second label stands for any failure while the labels are read.
  SetTraceSink([&trace](const char* text) {
    trace.texts.emplace_back(text);
    if (std::string(text) == "ReadHeaderLabel1") throw 1;
  });
  CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
  EXPECT_EQ(trace.texts, (Texts{"ReadVolumeHeaderLabel", "ReadHeaderLabel1", "Failed to Open the file: ", path,
                                "CKelvarnBankTransactionFile() failed to open: ", path}));
}

TEST(TransactionFile, LongLinesGiveTheirFirst1023Characters) {
  const std::string longRecord = Record("111111") + std::string(1500, 'x');
  const std::string path = WriteFile("long.txt", Headers() + longRecord + "\n" + Record("222222") + "\n" +
                                                     std::string(3000, 'y') + "\n" + kTrailer + "\n");
  CKelvarnBankTransactionFile file(path.c_str(), OpenMode::Binary);
  // The rest of each long line is skipped, never read as the next line.
  EXPECT_EQ(ReadAll(file), (Texts{"111111", "222222", "yyyyyy", "blank", "end"}));
}

TEST(TransactionFile, TraceSinkCanBeReplacedAndRestored) {
  Texts first, second;
  const TraceSink original = SetTraceSink([&first](const char* text) { first.emplace_back(text); });
  TraceWrite("one");
  const TraceSink previous = SetTraceSink([&second](const char* text) { second.emplace_back(text); });
  TraceWrite("two");
  SetTraceSink(previous);
  TraceWrite("three");
  SetTraceSink(original);
  EXPECT_EQ(first, (Texts{"one", "three"}));
  EXPECT_EQ(second, (Texts{"two"}));
}

Texts ReadLines(const std::string& bytes, bool textMode) {
  const std::string path = WriteFile("lines.txt", bytes);
  StatementLineReader reader;
  EXPECT_TRUE(reader.Open(path.c_str(), textMode));
  Texts lines;
  std::string_view line;
  while (lines.size() < 10000 && reader.ReadLine(line)) lines.emplace_back(line);
  EXPECT_FALSE(reader.ReadLine(line));  // stays at the end
  return lines;
}

TEST(StatementLineReader, SplitsLinesAsTheRuntimeDoes) {
  const std::string a1023(1023, 'a');
  struct Case {
    const char* name;
    std::string bytes;
    bool textMode;
    Texts lines;
  };
  const Case cases[] = {
      {"line feeds", "a\nbb\n", false, {"a", "bb"}},
      {"no final line feed", "a\nbb", false, {"a", "bb"}},
      {"empty file", "", false, {}},
      {"empty lines", "\n\n", true, {"", ""}},
      {"CR LF, text", "a\r\nb\r\n", true, {"a", "b"}},
      {"CR LF, binary", "a\r\nb\r\n", false, {"a\r", "b\r"}},
      {"lone CR, text", "a\rb\n", true, {"a\rb"}},
      {"CR CR LF, text", "a\r\r\n", true, {"a\r"}},
      {"CR at the end of the file, text", "a\r", true, {"a\r"}},
      {"NUL ends the line", std::string("ab\0cd\nef\n", 9), false, {"ab", "ef"}},
      {"1023 characters", a1023 + "\nz\n", false, {a1023, "z"}},
      {"1024 characters", a1023 + "b\nz\n", false, {a1023, "z"}},
      {"1023 characters and CR LF, text", a1023 + "\r\nz\n", true, {a1023, "z"}},
      {"1023 characters and CR LF, binary", a1023 + "\r\nz\n", false, {a1023, "z"}},
      {"1022 characters and CR LF, binary", a1023.substr(1) + "\r\n", false, {a1023.substr(1) + "\r"}},
      {"longer than the read buffer", std::string(200000, 'a') + "\nz", true, {a1023, "z"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadLines(c.bytes, c.textMode), c.lines) << c.name;
}

TEST(StatementLineReader, LinesAcrossManyBufferFills) {
  std::string bytes;
  Texts expected;
  for (int index = 0; index < 3000; ++index) {
    std::string line(static_cast<std::size_t>(index * 37 % 1100), static_cast<char>('a' + index % 26));
    bytes += line + (index % 3 == 0 ? "\r\n" : "\n");
    line.resize(std::min<std::size_t>(line.size(), 1023));
    expected.push_back(line);
  }
  EXPECT_EQ(ReadLines(bytes, true), expected);
}

TEST(StatementLineReader, NulBytesAcrossManyBufferFills) {
  // Runs of lines with a NUL somewhere and lines without one, some crossing the buffer's end.
  std::string bytes;
  Texts expectedText;
  Texts expectedBinary;
  for (int index = 0; index < 3000; ++index) {
    std::string line(static_cast<std::size_t>(index * 37 % 1100), static_cast<char>('a' + index % 26));
    if (index % 7 < 4 && !line.empty()) line[static_cast<std::size_t>(index * 11) % line.size()] = '\0';
    const std::string lineEnd = index % 3 == 0 ? "\r\n" : "\n";
    bytes += line + lineEnd;
    const std::string binary = (line + lineEnd.substr(0, lineEnd.size() - 1)).substr(0, 1023);
    expectedText.push_back(line.substr(0, std::min(line.find('\0'), std::size_t{1023})));
    expectedBinary.push_back(binary.substr(0, binary.find('\0')));
  }
  EXPECT_EQ(ReadLines(bytes, true), expectedText);
  EXPECT_EQ(ReadLines(bytes, false), expectedBinary);
}

TEST(StatementLineReader, MissingFileDoesNotOpen) {
  StatementLineReader reader;
  EXPECT_FALSE(reader.Open((::testing::TempDir() + "kelvarn_no_such_file.txt").c_str(), true));
  EXPECT_FALSE(reader.IsOpen());
  std::string_view line;
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_FALSE(reader.Open(nullptr, true));
}

}  // namespace
}  // namespace kelvarn
