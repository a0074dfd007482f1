#include "statement/identify_statement_file_win.h"

#include <cstring>
#include <type_traits>

#include "statement/kelvarn_bank_transaction_file.h"
#include "trelk_ebanking.h"

namespace kelvarn {

static_assert(std::is_same_v<decltype(&IdentifyStatementFile), IdentifyStatementFileFunction>,
              "the recogniser has the type the chooser calls");

int __cdecl IdentifyStatementFile(char* description, const char* path) {
  try {
    // Text mode, as the user's browsing sees the file; the reader closes it on destruction.
    const CKelvarnBankTransactionFile file(path, OpenMode::Text);
    if (!file.IsStatementFile()) return 0;
    // A chooser that passes no buffer still learns the answer.
    if (description) std::memcpy(description, kStatementFileDescription, sizeof kStatementFileDescription);
    return 1;
  } catch (...) {
    // Out of memory while reading the labels: the host's code must not see an exception.
    return 0;
  }
}

}  // namespace kelvarn
