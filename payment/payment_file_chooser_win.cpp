#include "payment/payment_file_chooser_win.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "payment/processing_date_rules.h"

namespace kelvarn {
namespace {

constexpr std::size_t kFileNameCapacity = 260;
constexpr std::size_t kFileTitleCapacity = 256;

constexpr DWORD kSaveDialogFlags =
    OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER | OFN_ENABLESIZING | OFN_ENABLEHOOK;
static_assert(kSaveDialogFlags == 0x0088002E, "save dialog flags");

// The structure as it was before the fields added in Windows 2000: OPENFILENAME_SIZE_VERSION_400A,
// spelled here as a constant expression (the macro's own form is not one).
constexpr std::size_t kVersion400Size = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(kVersion400Size == 76, "OPENFILENAME_SIZE_VERSION_400A is 76 bytes on 32-bit Windows");
#endif

// Installed but handles nothing: the dialog stays the standard explorer-style save dialog.
UINT_PTR CALLBACK SaveDialogHook(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }

}  // namespace

PaymentFileChooser::PaymentFileChooser(std::string defaultExtension, std::string initialPath, std::string filter)
    : defaultExtension_(std::move(defaultExtension)),
      initialPath_(std::move(initialPath)),
      filter_(std::move(filter)) {}

int PaymentFileChooser::Show(HWND owner) {
  std::array<char, kFileNameCapacity> fileName{};
  std::array<char, kFileTitleCapacity> fileTitle{};
  const std::size_t kept = std::min(initialPath_.size(), fileName.size() - 1);
  std::memcpy(fileName.data(), initialPath_.data(), kept);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter_.c_str();  // the pairs end in two zero bytes of their own
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrFileTitle = fileTitle.data();
  dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  dialog.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  dialog.Flags = kSaveDialogFlags;
  dialog.lpfnHook = &SaveDialogHook;

  if (!GetSaveFileNameA(&dialog)) return kDialogCancel;
  path_.assign(fileName.data());
  return kDialogOk;
}

}  // namespace kelvarn
