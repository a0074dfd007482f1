// Prints the generated tables of docs/host-guide.md: every member of the component's and the
// host's interfaces with its dispatch id and vtable method number, read from the type libraries
// through oleaut32, and the result texts of the module's string table. Run under Wine:
//   host_guide_tables DLL COMPONENT.tlb HOST.tlb...
// The host's libraries must be registered: the component's interfaces inherit from theirs.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Narrow(const wchar_t* text) {
  if (!text) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::string Escape(const std::string& text) {  // a Markdown table cell
  std::string out;
  for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
  return out;
}

std::string TypeName(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_PTR:
      return TypeName(info, *type.lptdesc) + "*";
    case VT_USERDEFINED: {
      ITypeInfo* referenced = nullptr;
      std::string name = "?";
      if (SUCCEEDED(info->GetRefTypeInfo(type.hreftype, &referenced))) {
        BSTR text = nullptr;
        if (SUCCEEDED(referenced->GetDocumentation(MEMBERID_NIL, &text, nullptr, nullptr, nullptr)))
          name = Narrow(text);
        SysFreeString(text);
        referenced->Release();
      }
      return name;
    }
    case VT_I2:
      return "short";
    case VT_I4:
      return "long";
    case VT_INT:
      return "int";
    case VT_UI1:
      return "BYTE";
    case VT_R4:
      return "float";
    case VT_R8:
      return "double";
    case VT_CY:
      return "CURRENCY";
    case VT_DATE:
      return "DATE";
    case VT_BSTR:
      return "BSTR";
    case VT_DISPATCH:
      return "IDispatch*";
    case VT_UNKNOWN:
      return "IUnknown*";
    case VT_BOOL:
      return "VARIANT_BOOL";
    case VT_VARIANT:
      return "VARIANT";
    case VT_HRESULT:
      return "HRESULT";
    case VT_VOID:
      return "void";
    case VT_LPSTR:
      return "LPSTR";
    case VT_LPWSTR:
      return "LPWSTR";
    default:
      return "VT " + std::to_string(type.vt);
  }
}

std::string Direction(USHORT flags) {
  std::string out;
  if (flags & PARAMFLAG_FIN) out += "in";
  if (flags & PARAMFLAG_FOUT) out += out.empty() ? "out" : ", out";
  if (flags & PARAMFLAG_FRETVAL) out += ", retval";
  return out.empty() ? "" : "[" + out + "] ";
}

std::string Kind(INVOKEKIND kind) {
  switch (kind) {
    case INVOKE_PROPERTYGET:
      return "get";
    case INVOKE_PROPERTYPUT:
      return "put";
    case INVOKE_PROPERTYPUTREF:
      return "putref";
    default:
      return "method";
  }
}

std::string Documentation(ITypeInfo* info, MEMBERID id, std::string* help = nullptr) {
  BSTR name = nullptr, doc = nullptr;
  info->GetDocumentation(id, &name, &doc, nullptr, nullptr);
  std::string out = Narrow(name);
  if (help) *help = Narrow(doc);
  SysFreeString(name);
  SysFreeString(doc);
  return out;
}

// The vtable half of an interface: for a dual interface's dispatch type, its interface type.
ITypeInfo* VtableHalf(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  info->GetTypeAttr(&attributes);
  const bool dispatch = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
  info->ReleaseTypeAttr(attributes);
  HREFTYPE reference = 0;
  ITypeInfo* half = nullptr;
  if (dispatch && SUCCEEDED(info->GetRefTypeOfImplType(-1, &reference)) &&
      SUCCEEDED(info->GetRefTypeInfo(reference, &half))) {
    return half;
  }
  info->AddRef();
  return info;
}

// Rows of an interface and of the interfaces it inherits from, up to IDispatch, base first.
void MemberRows(ITypeInfo* info, std::vector<std::string>& rows) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return;
  const std::string name = Documentation(info, MEMBERID_NIL);
  if (name == "IDispatch" || name == "IUnknown") {
    info->ReleaseTypeAttr(attributes);
    return;
  }
  if (attributes->cImplTypes > 0) {
    HREFTYPE reference = 0;
    ITypeInfo* base = nullptr;
    if (SUCCEEDED(info->GetRefTypeOfImplType(0, &reference)) && SUCCEEDED(info->GetRefTypeInfo(reference, &base))) {
      MemberRows(base, rows);
      base->Release();
    }
  }
  for (UINT index = 0; index < attributes->cFuncs; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function))) continue;
    BSTR names[32] = {};
    UINT count = 0;
    info->GetNames(function->memid, names, 32, &count);
    std::string help;
    Documentation(info, function->memid, &help);
    std::string arguments;
    for (SHORT parameter = 0; parameter < function->cParams; ++parameter) {
      const ELEMDESC& element = function->lprgelemdescParam[parameter];
      if (!arguments.empty()) arguments += ", ";
      std::string parameterName = parameter + 1 < static_cast<SHORT>(count) ? Narrow(names[parameter + 1]) : "value";
      arguments += Direction(element.paramdesc.wParamFlags) + TypeName(info, element.tdesc) + " " + parameterName;
    }
    char dispatchId[16];
    std::snprintf(dispatchId, sizeof dispatchId, "%ld", static_cast<long>(function->memid));
    // Method 1 is the first after IUnknown's three and IDispatch's four.
    const long number = function->oVft / static_cast<long>(sizeof(void*)) - 6;
    rows.push_back("| " + std::to_string(number) + " | " + dispatchId + " | " + Escape(Narrow(names[0])) + " | " +
                   Kind(function->invkind) + " | " + Escape(arguments) + " | " + Escape(help) + " | " + name + " |");
    for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
}

void InterfaceTables(const wchar_t* path) {
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &library))) {
    std::fprintf(stderr, "host_guide_tables: cannot load %s\n", Narrow(path).c_str());
    std::exit(1);
  }
  BSTR libraryName = nullptr;
  library->GetDocumentation(-1, &libraryName, nullptr, nullptr, nullptr);
  for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
    TYPEKIND kind;
    if (FAILED(library->GetTypeInfoType(index, &kind)) || (kind != TKIND_DISPATCH && kind != TKIND_INTERFACE)) continue;
    ITypeInfo* info = nullptr;
    if (FAILED(library->GetTypeInfo(index, &info))) continue;
    TYPEATTR* attributes = nullptr;
    info->GetTypeAttr(&attributes);
    wchar_t guid[40];
    StringFromGUID2(attributes->guid, guid, 40);
    info->ReleaseTypeAttr(attributes);
    std::string help;
    const std::string name = Documentation(info, MEMBERID_NIL, &help);
    ITypeInfo* vtable = VtableHalf(info);
    std::vector<std::string> rows;
    MemberRows(vtable, rows);
    vtable->Release();
    info->Release();
    std::printf("#### %s\n\n%s, library %s%s%s.\n\n", name.c_str(), Narrow(guid).c_str(), Narrow(libraryName).c_str(),
                help.empty() ? "" : ": ", help.c_str());
    std::printf("| method | dispid | name | kind | arguments | help | declared in |\n|---|---|---|---|---|---|---|\n");
    for (const std::string& row : rows) std::printf("%s\n", row.c_str());
    std::printf("\n");
  }
  SysFreeString(libraryName);
  library->Release();
}

void ResultTexts(const wchar_t* dll) {
  HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    std::fprintf(stderr, "host_guide_tables: cannot load %s\n", Narrow(dll).c_str());
    std::exit(1);
  }
  std::printf("| code | text |\n|---|---|\n");
  for (int code = 0; code <= 35; ++code) {
    wchar_t text[256] = {};
    const int length = LoadStringW(module, 300 + code, text, 256);
    std::printf("| %d | %s |\n", code,
                length > 0 ? Escape(Narrow(text)).c_str() : "(none: GetStatusText gives no text)");
  }
  FreeLibrary(module);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: host_guide_tables DLL COMPONENT.tlb HOST.tlb...\n");
    return 2;
  }
  CoInitialize(nullptr);
  std::printf("<!-- generated: interfaces -->\n");
  for (int i = 2; i < argc; ++i) InterfaceTables(argv[i]);
  std::printf("<!-- generated: result texts -->\n");
  ResultTexts(argv[1]);
  std::printf("<!-- generated: end -->\n");
  CoUninitialize();
  return 0;
}
