#include "refhost/command_line.h"

#include <gtest/gtest.h>

namespace refhost {
namespace {

TEST(CommandLine, ReadsEveryExportOption) {
  const Command command =
      ParseCommandLine({"export", "--payments", "p.csv", "--out", "/tmp/x.csv", "--date", "2008-03-05", "--directory",
                        "D:\\Payments", "--file-name", "pay001", "--extension", "txt", "--keep-existing"});
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

namespace refhost {
namespace {

TEST(CommandLine, HelpAloneOrForACommand) {
  const Command all = ParseCommandLine({"--help"});
  EXPECT_TRUE(all.help);
  EXPECT_TRUE(all.helpAll);
  const struct {
    const char* name;
    Command::Kind kind;
  } cases[] = {{"info", Command::Kind::Info},
               {"export", Command::Kind::Export},
               {"import", Command::Kind::Import},
               {"recognise", Command::Kind::Recognise},
               {"calendar", Command::Kind::Calendar}};
  for (const auto& c : cases) {
    // Help needs none of the command's required arguments and ignores the others.
    const Command command = ParseCommandLine({c.name, "--help"});
    EXPECT_TRUE(command.help) << c.name;
    EXPECT_FALSE(command.helpAll) << c.name;
    EXPECT_EQ(command.kind, c.kind) << c.name;
    EXPECT_EQ(UsageText(c.kind).rfind(std::string("usage: kelvarn ") + c.name + " ", 0), 0u) << UsageText(c.kind);
    EXPECT_NE(UsageText().find(UsageText(c.kind).substr(7)), std::string::npos) << c.name;
  }
  EXPECT_TRUE(ParseCommandLine({"export", "--payments", "p", "-h"}).help);
  EXPECT_THROW(ParseCommandLine({"--help", "export"}), UsageError);
  EXPECT_THROW(ParseCommandLine({"frobnicate", "--help"}), UsageError);
}

TEST(CommandLine, FormatIsJsonUnlessTextIsAsked) {
  EXPECT_EQ(ParseCommandLine({"info"}).format, Command::Format::Json);
  EXPECT_EQ(ParseCommandLine({"info", "--format", "text"}).format, Command::Format::Text);
  EXPECT_EQ(ParseCommandLine({"info", "--format", "json"}).format, Command::Format::Json);
  const Command exportCommand =
      ParseCommandLine({"export", "--payments", "p", "--format", "text", "--out", "o", "--keep-existing"});
  EXPECT_EQ(exportCommand.format, Command::Format::Text);
  EXPECT_EQ(exportCommand.exportOptions.payments, "p");
  EXPECT_EQ(exportCommand.exportOptions.out, "o");
  EXPECT_TRUE(exportCommand.exportOptions.keepExisting);
  // Not taken for a file or a date of the lists.
  const Command calendar = ParseCommandLine({"calendar", "2008-12-25", "--format", "text", "2008-12-26"});
  EXPECT_EQ(calendar.format, Command::Format::Text);
  EXPECT_EQ(calendar.dates.size(), 2u);
  EXPECT_EQ(ParseCommandLine({"recognise", "a", "--format", "text"}).files, (std::vector<std::string>{"a"}));
  EXPECT_THROW(ParseCommandLine({"info", "--format", "yaml"}), UsageError);
  EXPECT_THROW(ParseCommandLine({"info", "--format"}), UsageError);
}

}  // namespace
}  // namespace refhost
