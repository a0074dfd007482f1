#pragma once
// Paths between the Linux side (command line, output) and the Windows side (the component)
// of a program running under Wine: "/a/b" is "Z:\a\b"; any other drive letter is reached
// through the prefix's dosdevices links.
#include <string>

namespace refhost {

std::string LinuxToWindowsPath(const std::string& linuxPath);
// `winePrefix` is the prefix folder (WINEPREFIX), used for drives other than Z:.
std::string WindowsToLinuxPath(const std::string& windowsPath, const std::string& winePrefix);

}  // namespace refhost
