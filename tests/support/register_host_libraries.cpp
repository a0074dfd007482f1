// Registers (or with /u unregisters) type libraries the way the host's installation registers
// its own: register_host_libraries [/u] <file.tlb>...
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int Process(const wchar_t* file, bool unregister) {
  wchar_t path[MAX_PATH * 4];
  if (!GetFullPathNameW(file, static_cast<DWORD>(std::size(path)), path, nullptr)) return 1;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
  if (FAILED(hr)) {
    std::fwprintf(stderr, L"cannot load %ls: 0x%08lX\n", path, static_cast<unsigned long>(hr));
    return 1;
  }
  if (unregister) {
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (SUCCEEDED(hr)) {
      hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                             attributes->syskind);
      library->ReleaseTLibAttr(attributes);
    }
  } else {
    std::wstring directory(path);
    directory.resize(directory.find_last_of(L'\\'));
    hr = RegisterTypeLib(library, path, directory.data());
  }
  library->Release();
  if (FAILED(hr)) {
    std::fwprintf(stderr, L"cannot %ls %ls: 0x%08lX\n", unregister ? L"unregister" : L"register", path,
                  static_cast<unsigned long>(hr));
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool unregister = false;
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"/u") == 0) {
      unregister = true;
      continue;
    }
    failures += Process(argv[i], unregister);
  }
  return failures == 0 ? 0 : 1;
}
