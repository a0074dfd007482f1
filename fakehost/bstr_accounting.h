#pragma once
// Which BSTRs the fakes handed out were freed, and how often. An IMallocSpy (CoRegisterMallocSpy)
// sees every task-memory free; with OANOCACHE=1 in the environment oleaut32 caches no BSTR, so
// every SysFreeString reaches task memory. The spy is registered once for the process and never
// revoked (COM keeps a spy with outstanding blocks anyway); it records only while a
// BstrAccounting lives.
//
//   BstrAccounting accounting;        // fails the test when OANOCACHE is not in effect
//   ... run: the fakes call WatchHandedOut(bstr) for each BSTR given to the component ...
//   EXPECT_EQ(accounting.Problems(), Lines{});   // each freed exactly once, no kept one freed
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>

#include "fakehost/call_log.h"

namespace kelvarn::test {

class BstrAccounting {
 public:
  BstrAccounting();
  BstrAccounting(const BstrAccounting&) = delete;
  BstrAccounting& operator=(const BstrAccounting&) = delete;
  ~BstrAccounting();

  static BstrAccounting* Active();
  // Whether the spy sees BSTR frees at all (OANOCACHE set, spy registered).
  bool Works() const { return works_; }

  // A BSTR handed to the component: it must free it exactly once.
  void Watch(BSTR text, const std::string& what);
  // A string that stays its owner's (the chooser's path): it must never be freed while kept.
  void Keep(const void* text, const std::string& what);
  void Release(const void* text);

  // One line per BSTR freed other than once, and per kept string freed.
  Lines Problems() const;
  std::size_t Watched() const { return watched_; }

  // Called by the spy, under its lock.
  void Freed(const void* block);
  void Allocated(const void* block);

 private:
  struct Entry {
    std::string what;
    int frees = 0;
    bool kept = false;
  };
  const void* BlockOf(const void* text) const;

  bool works_ = false;
  std::ptrdiff_t headerSize_ = 0;      // from a BSTR to its task-memory block
  std::map<const void*, Entry> live_;  // by block: watched or kept, not yet freed
  Lines problems_;
  std::map<const void*, Entry> freed_;  // by block: watched and freed, until the block is reused
  std::size_t watched_ = 0;
  BstrAccounting* previous_;
};

// For the fakes: reports a BSTR handed out to the active accounting, if any; returns it.
BSTR WatchHandedOut(BSTR text, const std::string& what);

}  // namespace kelvarn::test
