// The save dialog of the export run and its starting point, driven as a user drives them.
#include <vector>

#include "tests/com/payment_export_support.h"
#include "fakehost/fake_host_components.h"

namespace kelvarn::test {
namespace {

using PaymentFileChooserTest = ComTest;

struct SaveDialogSeen {
  std::string caption;
  std::string fileName;
  std::vector<std::string> fileTypes;
  std::string selectedType;
};

// Accepts the proposed processing date and waits for the save dialog.
HWND AcceptDateAndWaitForSaveDialog(UiDriver& user) {
  user.Press(user.WaitFor(DialogKind::kProcessingDate), IDOK);
  return user.WaitFor(DialogKind::kSaveFile);
}

SaveDialogSeen ReadSaveDialog(UiDriver& user, HWND save) {
  return {WindowText(save), user.FileName(save), user.FileTypes(save), user.SelectedFileType(save)};
}

struct StartCase {
  const char* name;
  std::string extension;  // as the configuration writes it
  std::vector<std::string> fileTypes;
  std::string createdName;  // the file pressing OK on the proposed name creates
};

TEST_F(PaymentFileChooserTest, StartsInTheConfiguredDirectoryWithTheFileNameFilterAndDefaultExtension) {
  const StartCase cases[] = {
      {"csv", "csv", {"Payment Files (*.csv)", "All Files (*.*)"}, "pay001.csv"},
      {"no extension", "", {"All Files (*.*)"}, "pay001"},
      // A configuration that fills the four bytes with no terminator: three characters are used.
      {"four characters", "json", {"Payment Files (*.jso)", "All Files (*.*)"}, "pay001.jso"},
  };
  for (const StartCase& startCase : cases) {
    SCOPED_TRACE(startCase.name);
    ExportScene scene;
    scene.host.configuration.directory = scene.folder.Path() + "\\";  // a trailing backslash is not doubled
    scene.host.configuration.fileName = "pay001";
    scene.host.configuration.extension = startCase.extension;

    SaveDialogSeen seen;
    const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
      const HWND save = AcceptDateAndWaitForSaveDialog(user);
      seen = ReadSaveDialog(user, save);
      user.Press(save, IDOK);
    });

    EXPECT_EQ(outcome.userFailure, "");
    EXPECT_EQ(seen.caption, "Save As");
    EXPECT_EQ(seen.fileName, "pay001");
    EXPECT_EQ(seen.fileTypes, startCase.fileTypes);
    EXPECT_EQ(seen.selectedType, startCase.fileTypes.front());
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(FileExists(scene.folder.File(startCase.createdName))) << startCase.createdName;
    EXPECT_EQ(ReadFileBytes(scene.folder.File(startCase.createdName)), "");
  }
}

TEST_F(PaymentFileChooserTest, ATypedNameWithoutExtensionGetsTheConfiguredOneInTheStartingDirectory) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 1, L"Jane Smith");

  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    const HWND save = AcceptDateAndWaitForSaveDialog(user);
    user.SetFileName(save, "typed");
    user.Press(save, IDOK);
  });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(ReadFileBytes(scene.folder.File("typed.csv")),
            ValidPaymentLine("1.00", FileDate(ProposedDay()), "Jane Smith"));
}

TEST_F(PaymentFileChooserTest, AnExistingFileIsReplacedOnlyAfterTheOverwriteQuestionIsAnsweredYes) {
  for (const bool answerYes : {true, false}) {
    SCOPED_TRACE(answerYes ? "Yes" : "No");
    ExportScene scene;
    const std::string existing = scene.folder.File("payments.csv");
    WriteFileBytes(existing, "earlier contents\r\n");

    MessageBoxSeen question;
    const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
      const HWND save = AcceptDateAndWaitForSaveDialog(user);
      user.Press(save, IDOK);  // the proposed name: payments.csv, which exists
      question = user.Answer(answerYes ? IDYES : IDNO);
      if (!answerYes) user.Press(user.WaitFor(DialogKind::kSaveFile), IDCANCEL);
    });

    EXPECT_EQ(outcome.userFailure, "");
    // The save dialog's own question (its words are the platform's).
    EXPECT_NE(question.text.find("replace it?"), std::string::npos) << question;
    EXPECT_EQ(question.buttons, "Yes No");
    EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
    EXPECT_EQ(outcome.status, answerYes ? 0 : 3);
    EXPECT_EQ(ReadFileBytes(existing), answerYes ? "" : "earlier contents\r\n");
  }
}

TEST_F(PaymentFileChooserTest, CancellingTheSaveDialogWritesNothing) {
  ExportScene scene;
  FillValidPayment(scene.payments->Add(), 1, L"Jane Smith");

  const ExportOutcome outcome = RunExport(
      scene.payments.get(), [&](UiDriver& user) { user.Press(AcceptDateAndWaitForSaveDialog(user), IDCANCEL); });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(Hex(outcome.hr), Hex(S_OK));
  EXPECT_EQ(outcome.status, 3);
  EXPECT_FALSE(FileExists(scene.folder.File("payments.csv")));
  // The collection is not read when no file was chosen.
  EXPECT_EQ(scene.log.Take(), (Lines{"configuration created",
                                     "configuration.GetPaymentFileDefaults(key \"Kelvarn Bank\" zero-filled to 100)",
                                     "configuration released"}));
}

TEST_F(PaymentFileChooserTest, AMissingDefaultDirectoryIsReportedAndTheFileGoesToTheRootOfC) {
  ExportScene scene;
  const std::string missing = scene.folder.File("missing");
  scene.host.configuration.directory = missing;
  scene.host.configuration.fileName = "kelvarn-missing-directory-test";
  const std::string fallback = "C:\\kelvarn-missing-directory-test.csv";
  DeleteFileA(fallback.c_str());

  MessageBoxSeen message;
  std::string fileName;
  const ExportOutcome outcome = RunExport(scene.payments.get(), [&](UiDriver& user) {
    message = user.Answer(IDOK);  // before the processing-date dialog
    const HWND save = AcceptDateAndWaitForSaveDialog(user);
    fileName = user.FileName(save);
    user.Press(save, IDOK);
  });

  EXPECT_EQ(outcome.userFailure, "");
  EXPECT_EQ(message, (MessageBoxSeen{"Invalid default path",
                                     "The default payment directory (" + missing +
                                         ") specified does not exist.  Please correct this within configuration for "
                                         "the specified banking component. The root directory (C:\\) will be used in "
                                         "the mean time.",
                                     "OK", "error"}));
  EXPECT_EQ(fileName, "kelvarn-missing-directory-test");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_TRUE(FileExists(fallback));
  DeleteFileA(fallback.c_str());
}

}  // namespace
}  // namespace kelvarn::test
