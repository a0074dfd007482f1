// Frees a BSTR and a process-heap block twice: run_checked.sh must fail on what Wine's heap
// checking reports, so a test that passes under it has really been checked.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

int main() {
  BSTR text = SysAllocString(L"freed twice");
  SysFreeString(text);
  SysFreeString(text);
  HANDLE heap = GetProcessHeap();
  void* block = HeapAlloc(heap, 0, 32);
  HeapFree(heap, 0, block);
  HeapFree(heap, 0, block);
  std::puts("double_free: done");
  return 0;
}
