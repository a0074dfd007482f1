#pragma once
// The save dialog's starting point for the payment file: the configured payment directory and
// file name, or the root of drive C when the directory does not exist; and its file-type filter.
#include <functional>
#include <string>
#include <string_view>

#include "payment/user_message.h"

namespace kelvarn {

// Capacities of the Windows buffers these values go into (terminating NUL included).
inline constexpr std::size_t kSearchPatternCapacity = 260;
inline constexpr std::size_t kInitialPathCapacity = 1024;

// True when a directory search for `pattern` ("directory\*.*") finds any entry.
using DirectoryProbe = std::function<bool(const std::string& pattern)>;
using MessageCallback = std::function<void(const UserMessage& message)>;

// The initial path: directory, a backslash unless it ends with one, file name. A directory that
// has no entry (other than A:\, never reported) is reported through `showMessage` once and
// replaced by C:\. The result fits the 1024-byte initial path buffer.
std::string BuildDefaultPaymentPath(std::string_view fileName, std::string_view directory,
                                    const DirectoryProbe& directoryHasEntries, const MessageCallback& showMessage);

// The dialog's filter: description and pattern pairs, each ended by a zero byte, the list by a
// further zero byte (the NULs are part of the returned string).
std::string BuildPaymentFileFilter(std::string_view extension);

}  // namespace kelvarn
