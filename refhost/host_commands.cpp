#include "refhost/host_commands.h"

#include <objbase.h>

#include "refhost/json_writer.h"
#include "refhost/text_answer.h"
#include "refhost/wine_paths.h"
#include "refhost/windows_text.h"

namespace refhost {

std::string WindowsPath(const std::string& linuxPath) {
  // Anything not starting at the Linux root is already the host's own (a Windows path).
  return !linuxPath.empty() && linuxPath[0] == '/' ? LinuxToWindowsPath(linuxPath) : linuxPath;
}

HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** object) {
  CLSID clsid{};
  const HRESULT hr = CLSIDFromProgID(progId, &clsid);
  return FAILED(hr) ? hr : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

CommandOutput FailedCommand(HRESULT hr) {
  JsonWriter json;
  json.BeginObject().Key("hresult").String(HresultText(hr)).EndObject();
  CommandOutput output{hr, json.Finish(), {}, {}};
  output.text = "failed: " + HresultWords(static_cast<std::uint32_t>(hr)) + "\n";
  return output;
}

}  // namespace refhost
