#include "bench/com_bench_support.h"

#include <objbase.h>

#include "bench/bench_figures.h"

namespace kelvarn::bench {

ComponentModule::ComponentModule(const char* dllPath) : module_(LoadLibraryA(dllPath)) {
  if (!module_) return;
  getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
      reinterpret_cast<void*>(GetProcAddress(module_.get(), "DllGetClassObject")));
}

HRESULT ComponentModule::CreateInstance(REFCLSID clsid, REFIID iid, void** out) const {
  if (!getClassObject_) return E_UNEXPECTED;
  ComPtr<IClassFactory> factory;
  const HRESULT hr = getClassObject_(clsid, IID_IClassFactory, factory.put_void());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, iid, out);
}

std::atomic<long>& UnexpectedHostCalls() {
  static std::atomic<long> calls{0};
  return calls;
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  const std::size_t slash = folder.find_last_of("\\/");
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return folder;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "FAILED: %s\n", what.c_str());
  std::fflush(stderr);
  return 1;
}

int RunComBenchmark(int argc, char** argv, int (*run)(Figures& figures)) {
  const std::string figuresPath = TakeFiguresOption(argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return Fail("CoInitializeEx");
  Figures figures;
  const int result = run(figures);
  CoUninitialize();
  if (result != 0) return result;
  figures.Print();
  if (!figuresPath.empty() && !figures.AppendTo(figuresPath)) return Fail("cannot write " + figuresPath);
  return 0;
}

}  // namespace kelvarn::bench
