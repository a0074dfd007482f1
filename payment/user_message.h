#pragma once
// A message box of the payment export, described completely so the window layer only shows it.
#include <string>

namespace kelvarn {

enum class MessageIcon { kError, kWarning, kQuestion };
enum class MessageButtons { kOk, kYesNo };

struct UserMessage {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::kWarning;
  MessageButtons buttons = MessageButtons::kOk;

  friend bool operator==(const UserMessage& a, const UserMessage& b) {
    return a.text == b.text && a.caption == b.caption && a.icon == b.icon && a.buttons == b.buttons;
  }
};

}  // namespace kelvarn
