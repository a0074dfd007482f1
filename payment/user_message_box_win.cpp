#include "payment/user_message_box_win.h"

namespace kelvarn {
namespace {

UINT IconStyle(MessageIcon icon) noexcept {
  switch (icon) {
    case MessageIcon::kError:
      return MB_ICONERROR;
    case MessageIcon::kQuestion:
      return MB_ICONQUESTION;
    case MessageIcon::kWarning:
      break;
  }
  return MB_ICONWARNING;
}

}  // namespace

int ShowUserMessage(HWND owner, const UserMessage& message) noexcept {
  const UINT buttons = message.buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  return MessageBoxA(owner, message.text.c_str(), message.caption.c_str(), buttons | IconStyle(message.icon));
}

}  // namespace kelvarn
