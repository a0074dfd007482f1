#include "payment/default_payment_path.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kelvarn {
namespace {

std::string MissingText(const std::string& directory) {
  return "The default payment directory (" + directory +
         ") specified does not exist.  Please correct this within configuration for the specified banking "
         "component. The root directory (C:\\) will be used in the mean time.";
}

struct PathCase {
  const char* name;
  std::string directory;
  std::string fileName;
  std::set<std::string> existingPatterns;  // searches that find an entry
  std::vector<std::string> probes;         // searches expected, in order
  std::string expectedPath;
  bool reported;
};

const std::string kLongDirectory = "D:\\" + std::string(252, 'd');  // 255 characters: the longest searchable
const std::string kTooLongDirectory = kLongDirectory + "e";

const PathCase kPathCases[] = {
    {"existing directory",
     "D:\\Payments",
     "pay001",
     {"D:\\Payments\\*.*"},
     {"D:\\Payments\\*.*"},
     "D:\\Payments\\pay001",
     false},
    {"trailing backslash",
     "D:\\Payments\\",
     "pay001",
     {"D:\\Payments\\*.*"},
     {"D:\\Payments\\*.*"},
     "D:\\Payments\\pay001",
     false},
    {"missing directory", "D:\\Missing", "pay001", {}, {"D:\\Missing\\*.*"}, "C:\\pay001", true},
    {"empty drive root", "E:\\", "pay001", {}, {"E:\\*.*"}, "C:\\pay001", true},
    {"floppy root a:\\ without a disk", "a:\\", "pay001", {}, {"a:\\*.*"}, "a:\\pay001", false},
    {"floppy root A: without a disk", "A:", "pay001", {}, {"A:\\*.*"}, "A:\\pay001", false},
    {"floppy root with a disk", "A:\\", "pay001", {"A:\\*.*"}, {"A:\\*.*"}, "A:\\pay001", false},
    {"other directory on drive A", "a:\\Pay", "pay001", {}, {"a:\\Pay\\*.*"}, "C:\\pay001", true},
    {"longest searchable directory",
     kLongDirectory,
     "pay001",
     {kLongDirectory + "\\*.*"},
     {kLongDirectory + "\\*.*"},
     kLongDirectory + "\\pay001",
     false},
    {"directory too long to search",
     kTooLongDirectory,
     "pay001",
     {kTooLongDirectory + "\\*.*"},
     {},
     "C:\\pay001",
     true},
    {"empty directory", "", "pay001", {"\\*.*"}, {}, "C:\\pay001", true},
    {"empty file name", "D:\\Payments", "", {"D:\\Payments\\*.*"}, {"D:\\Payments\\*.*"}, "D:\\Payments\\", false},
    {"name cut to fit the path buffer",
     "D:\\Pay",
     std::string(1023, 'n'),
     {"D:\\Pay\\*.*"},
     {"D:\\Pay\\*.*"},
     "D:\\Pay\\" + std::string(1016, 'n'),
     false},
    {"name cut after C:\\",
     "D:\\Missing",
     std::string(1023, 'n'),
     {},
     {"D:\\Missing\\*.*"},
     "C:\\" + std::string(1020, 'n'),
     true},
};

TEST(DefaultPaymentPath, InitialPath) {
  for (const PathCase& pathCase : kPathCases) {
    std::vector<std::string> probes;
    std::vector<UserMessage> messages;
    const std::string path = BuildDefaultPaymentPath(
        pathCase.fileName, pathCase.directory,
        [&](const std::string& pattern) {
          probes.push_back(pattern);
          return pathCase.existingPatterns.count(pattern) != 0;
        },
        [&](const UserMessage& message) { messages.push_back(message); });
    EXPECT_EQ(path, pathCase.expectedPath) << pathCase.name;
    EXPECT_LE(path.size(), kInitialPathCapacity - 1) << pathCase.name;
    EXPECT_EQ(probes, pathCase.probes) << pathCase.name;
    std::vector<UserMessage> expectedMessages;
    if (pathCase.reported) {
      expectedMessages.push_back(UserMessage{MissingText(pathCase.directory), "Invalid default path",
                                             MessageIcon::kError, MessageButtons::kOk});
    }
    EXPECT_TRUE(messages == expectedMessages) << pathCase.name << ": " << messages.size() << " messages";
  }
}

TEST(DefaultPaymentPath, MessageTextAsShown) {
  std::vector<UserMessage> messages;
  BuildDefaultPaymentPath(
      "pay001", "D:\\Missing", [](const std::string&) { return false; },
      [&](const UserMessage& message) { messages.push_back(message); });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            "The default payment directory (D:\\Missing) specified does not exist.  Please correct this within "
            "configuration for the specified banking component. The root directory (C:\\) will be used in the mean "
            "time.");
}

TEST(DefaultPaymentPath, Filter) {
  using namespace std::string_literals;
  EXPECT_EQ(BuildPaymentFileFilter("csv"), "Payment Files (*.csv)\0*.csv\0All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(BuildPaymentFileFilter("txt"), "Payment Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(BuildPaymentFileFilter(""), "All Files (*.*)\0*.*\0\0"s);
}

}  // namespace
}  // namespace kelvarn
