#include "refhost/wine_paths.h"

#include <algorithm>
#include <cctype>

namespace refhost {

std::string LinuxToWindowsPath(const std::string& linuxPath) {
  std::string path = linuxPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return linuxPath.rfind('/', 0) == 0 ? "Z:" + path : path;
}

std::string WindowsToLinuxPath(const std::string& windowsPath, const std::string& winePrefix) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
    return windowsPath;
  std::string rest = windowsPath.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  if (rest.empty()) rest = "/";
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
  if (drive == 'z') return rest;
  return winePrefix + "/dosdevices/" + drive + ":" + rest;
}

}  // namespace refhost
