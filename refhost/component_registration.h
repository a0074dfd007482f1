#pragma once
// The component and the host's type libraries registered in the registry the program runs with
// (under Wine: the build's prefix), as the host's installation would have them, when they are not.
#include <windows.h>

#include <string>
#include <vector>

namespace refhost {

// `dll` and `hostTypeLibraries` are Windows paths. Says on stderr what it registers; a failure
// (with the reason on stderr) when a registration fails.
HRESULT EnsureComponentRegistered(const std::string& dll, const std::vector<std::string>& hostTypeLibraries);

}  // namespace refhost
