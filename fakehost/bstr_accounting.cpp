#include "fakehost/bstr_accounting.h"

#include <objbase.h>

namespace kelvarn::test {
namespace {

CRITICAL_SECTION g_lock;
BstrAccounting* g_active = nullptr;
const void* g_lastAllocation = nullptr;

class Spy final : public IMallocSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IMallocSpy) return E_NOINTERFACE;
    *out = static_cast<IMallocSpy*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static: lives for the process
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
    EnterCriticalSection(&g_lock);
    g_lastAllocation = actual;
    if (g_active && actual) g_active->Allocated(actual);
    LeaveCriticalSection(&g_lock);
    return actual;
  }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
    EnterCriticalSection(&g_lock);
    if (g_active && request) g_active->Freed(request);
    LeaveCriticalSection(&g_lock);
    return request;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
    EnterCriticalSection(&g_lock);
    if (g_active && request) g_active->Freed(request);
    LeaveCriticalSection(&g_lock);
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return PostAlloc(actual); }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

bool RegisterSpyOnce() {
  static const bool registered = [] {
    InitializeCriticalSection(&g_lock);
    static Spy spy;
    return SUCCEEDED(CoRegisterMallocSpy(&spy));
  }();
  return registered;
}

}  // namespace

BstrAccounting::BstrAccounting() : previous_(g_active) {
  if (!RegisterSpyOnce()) return;
  // Where a BSTR's task-memory block starts: seen on one allocation. Without OANOCACHE the
  // second string of the same size comes from oleaut32's cache and is not seen.
  EnterCriticalSection(&g_lock);
  g_lastAllocation = nullptr;
  LeaveCriticalSection(&g_lock);
  BSTR first = SysAllocString(L"calibration");
  const void* block = g_lastAllocation;
  SysFreeString(first);
  g_lastAllocation = nullptr;
  BSTR second = SysAllocString(L"calibration");
  const bool secondSeen = g_lastAllocation != nullptr;
  SysFreeString(second);
  if (!block || !secondSeen) return;
  headerSize_ = reinterpret_cast<const char*>(first) - static_cast<const char*>(block);
  works_ = headerSize_ > 0 && headerSize_ <= 16;
  EnterCriticalSection(&g_lock);
  g_active = this;
  LeaveCriticalSection(&g_lock);
}

BstrAccounting::~BstrAccounting() {
  EnterCriticalSection(&g_lock);
  if (g_active == this) g_active = previous_;
  LeaveCriticalSection(&g_lock);
}

BstrAccounting* BstrAccounting::Active() { return g_active; }

const void* BstrAccounting::BlockOf(const void* text) const { return static_cast<const char*>(text) - headerSize_; }

void BstrAccounting::Watch(BSTR text, const std::string& what) {
  if (!text) return;
  EnterCriticalSection(&g_lock);
  live_[BlockOf(text)] = Entry{what, 0, false};
  ++watched_;
  LeaveCriticalSection(&g_lock);
}

void BstrAccounting::Keep(const void* text, const std::string& what) {
  if (!text) return;
  EnterCriticalSection(&g_lock);
  live_[BlockOf(text)] = Entry{what, 0, true};
  LeaveCriticalSection(&g_lock);
}

void BstrAccounting::Release(const void* text) {
  if (!text) return;
  EnterCriticalSection(&g_lock);
  live_.erase(BlockOf(text));
  LeaveCriticalSection(&g_lock);
}

void BstrAccounting::Allocated(const void* block) { freed_.erase(block); }

void BstrAccounting::Freed(const void* block) {
  auto live = live_.find(block);
  if (live != live_.end()) {
    if (live->second.kept) {
      problems_.push_back(live->second.what + ": the owner's string was freed");
      live_.erase(live);
      return;
    }
    Entry entry = live->second;
    entry.frees = 1;
    live_.erase(live);
    freed_[block] = entry;
    return;
  }
  auto freed = freed_.find(block);
  if (freed != freed_.end()) {
    ++freed->second.frees;
    problems_.push_back(freed->second.what + ": freed " + std::to_string(freed->second.frees) + " times");
  }
}

Lines BstrAccounting::Problems() const {
  EnterCriticalSection(&g_lock);
  Lines problems = problems_;
  for (const auto& [block, entry] : live_) {
    if (!entry.kept) problems.push_back(entry.what + ": never freed");
  }
  LeaveCriticalSection(&g_lock);
  return problems;
}

BSTR WatchHandedOut(BSTR text, const std::string& what) {
  if (BstrAccounting* accounting = BstrAccounting::Active()) accounting->Watch(text, what);
  return text;
}

}  // namespace kelvarn::test
