// Registers (or with /u unregisters) type libraries the way the host's installation registers
// its own: register_host_libraries [/u] <file.tlb>...
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "fakehost/type_library_registration.h"

int wmain(int argc, wchar_t** argv) {
  bool unregister = false;
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"/u") == 0) {
      unregister = true;
      continue;
    }
    std::string failure;
    if (FAILED(kelvarn::test::RegisterTypeLibraryFile(argv[i], unregister, failure))) {
      std::fprintf(stderr, "%s\n", failure.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
