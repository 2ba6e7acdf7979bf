/// \file
/// One mail address as the header code hands it out: the bare address and the
/// display name that went with it, both Shift_JIS.
#pragma once

#include <string>

namespace zorvik::message {

struct MailAddress {
  std::string address;  // "taro@example.jp", trimmed, aliases applied
  std::string name;     // "山田太郎", quotes and comment parentheses removed

  friend bool operator==(const MailAddress&, const MailAddress&) = default;
};

}  // namespace zorvik::message
