#include "frame/module_path_win.h"

#include <windows.h>

#include "frame/module_win.h"

namespace kelvarn {
namespace {

// Grows the buffer until the whole path fits (paths may exceed MAX_PATH).
template <typename Char, typename Function>
std::basic_string<Char> ReadModulePath(Function getModuleFileName) {
  std::basic_string<Char> path(MAX_PATH, Char());
  for (;;) {
    const DWORD length = getModuleFileName(ModuleInstance(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::basic_string<Char>();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return std::basic_string<Char>();
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string ModulePathAnsi() { return ReadModulePath<char>(&GetModuleFileNameA); }
std::wstring ModulePathWide() { return ReadModulePath<wchar_t>(&GetModuleFileNameW); }

}  // namespace kelvarn
