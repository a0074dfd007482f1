#pragma once
// The recogniser the host's statement file chooser calls for each candidate file: a plain
// function, not a COM method: nothing may be thrown out of it into the host's code.

namespace kelvarn {

// The description written for a statement file of the bank.
inline constexpr char kStatementFileDescription[] = "Kelvarn Bank Statement";

// When `path` is a statement file of the bank, copies kStatementFileDescription with its NUL into
// `description` and returns 1; otherwise returns 0 and leaves `description` untouched.
int __cdecl IdentifyStatementFile(char* description, const char* path);

}  // namespace kelvarn
