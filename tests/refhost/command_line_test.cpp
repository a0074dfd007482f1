#include "refhost/command_line.h"

#include <gtest/gtest.h>

namespace refhost {
namespace {

TEST(CommandLine, ReadsEveryExportOption) {
  const Command command = ParseCommandLine({"export", "--payments", "p.csv", "--out", "/tmp/x.csv", "--date",
                                            "2008-03-05", "--directory", "D:\\Payments", "--file-name", "pay001",
                                            "--extension", "txt", "--keep-existing"});
  ASSERT_EQ(command.kind, Command::Kind::Export);
  const ExportOptions& o = command.exportOptions;
  EXPECT_EQ(o.payments, "p.csv");
  EXPECT_EQ(o.out, "/tmp/x.csv");
  ASSERT_TRUE(o.date.has_value());
  EXPECT_EQ(FormatCalendarDate(*o.date), "2008-03-05");
  EXPECT_EQ(o.directory, "D:\\Payments");
  EXPECT_EQ(o.fileName, "pay001");
  EXPECT_EQ(o.extension, "txt");
  EXPECT_TRUE(o.keepExisting);
}

TEST(CommandLine, ExportDefaultsAndImportOptions) {
  const Command exportCommand = ParseCommandLine({"export", "--out", "o", "--payments", "p"});
  EXPECT_FALSE(exportCommand.exportOptions.date.has_value());
  EXPECT_FALSE(exportCommand.exportOptions.directory.has_value());
  EXPECT_EQ(exportCommand.exportOptions.fileName, "payments");
  EXPECT_EQ(exportCommand.exportOptions.extension, "csv");
  EXPECT_FALSE(exportCommand.exportOptions.keepExisting);

  const Command importCommand = ParseCommandLine({"import", "--statement", "s.txt", "--sort-code", "12-34-56"});
  EXPECT_EQ(importCommand.importOptions.statement, "s.txt");
  EXPECT_EQ(importCommand.importOptions.sortCode, "12-34-56");
  EXPECT_FALSE(importCommand.importOptions.accountNumber.has_value());
}

TEST(CommandLine, ListsOfFilesAndDates) {
  EXPECT_EQ(ParseCommandLine({"recognise", "a", "b"}).files, (std::vector<std::string>{"a", "b"}));
  const Command calendar = ParseCommandLine({"calendar", "2008-12-25", "2000-02-29"});
  ASSERT_EQ(calendar.dates.size(), 2u);
  EXPECT_EQ(FormatCalendarDate(calendar.dates[1]), "2000-02-29");
}

TEST(CommandLine, RejectsBadArguments) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"transfer"},
      {"info", "extra"},
      {"export", "--payments", "p"},
      {"export", "--payments", "p", "--out"},
      {"export", "--payments", "p", "--out", "o", "--colour", "red"},
      {"export", "--payments", "p", "--out", "o", "--date", "2008-02-30"},
      {"import"},
      {"recognise"},
      {"calendar"},
      {"calendar", "2008-1-05"},
      {"calendar", "2009-02-29"},
      {"calendar", "0099-01-01"},
  };
  for (const auto& arguments : cases) {
    EXPECT_THROW(ParseCommandLine(arguments), UsageError) << (arguments.empty() ? "(none)" : arguments[0]);
  }
}

}  // namespace
}  // namespace refhost
