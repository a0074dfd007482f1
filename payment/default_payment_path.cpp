#include "payment/default_payment_path.h"

namespace kelvarn {
namespace {

bool EndsWithBackslash(std::string_view directory) { return !directory.empty() && directory.back() == '\\'; }

bool IsFloppyRootPattern(std::string_view pattern) {
  return pattern.size() == 6 && (pattern[0] == 'A' || pattern[0] == 'a') && pattern.substr(1) == ":\\*.*";
}

UserMessage MissingDirectoryMessage(std::string_view directory) {
  std::string text = "The default payment directory (";
  text.append(directory);
  text +=
      ") specified does not exist.  Please correct this within configuration for the specified banking component. "
      "The root directory (C:\\) will be used in the mean time.";
  return UserMessage{text, "Invalid default path", MessageIcon::kError, MessageButtons::kOk};
}

// When directory and name do not fit the initial path buffer, the end of the name is cut: the
// directory is the part the user must not lose, and the save dialog shows the name to edit.
std::string FitInitialPath(std::string path) {
  if (path.size() > kInitialPathCapacity - 1) path.resize(kInitialPathCapacity - 1);
  return path;
}

}  // namespace

std::string BuildDefaultPaymentPath(std::string_view fileName, std::string_view directory,
                                    const DirectoryProbe& directoryHasEntries, const MessageCallback& showMessage) {
  std::string prefix(directory);
  if (!EndsWithBackslash(directory)) prefix.push_back('\\');
  const std::string pattern = prefix + "*.*";

  // An empty directory names no directory: it counts as missing. A directory too long for the
  // search pattern buffer cannot be searched: it counts as missing too.
  const bool searchable = !directory.empty() && pattern.size() < kSearchPatternCapacity;
  const bool exists = searchable && directoryHasEntries(pattern);
  if (!exists && !(searchable && IsFloppyRootPattern(pattern))) {
    showMessage(MissingDirectoryMessage(directory));
    return FitInitialPath(std::string("C:\\").append(fileName));
  }
  return FitInitialPath(prefix.append(fileName));
}

std::string BuildPaymentFileFilter(std::string_view extension) {
  std::string filter;
  if (!extension.empty()) {
    filter.append("Payment Files (*.").append(extension).append(")|*.").append(extension).append("|");
  }
  filter.append("All Files (*.*)|*.*||");
  for (char& byte : filter) {
    if (byte == '|') byte = '\0';
  }
  return filter;
}

}  // namespace kelvarn
