#pragma once
// Shows a message of the payment export as a Windows message box.
#include <windows.h>

#include "payment/user_message.h"

namespace kelvarn {

// Modal to `owner` (null: modal to the thread); returns the button pressed (IDOK, IDYES, IDNO).
int ShowUserMessage(HWND owner, const UserMessage& message) noexcept;

}  // namespace kelvarn
