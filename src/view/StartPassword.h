/// \file
/// The user's own start-up password (settings items 121 and 122): when item
/// 121 holds a protected area (0-9; -1 is off), the password is asked when
/// the program starts and, with item 122 on, when its window comes back
/// from being minimised. The area itself is only kept and shown.
///
/// The password itself is never stored: the layout store keeps a scrypt
/// hash (OpenSSL), tagged with its parameters:
/// "$scrypt$ln=15,r=8,p=1$<salt>$<hash>" (salt and hash hexadecimal). The
/// older form "<salt>:<digest>" (MD5 iterated over the salt and the
/// password) is still accepted; isCurrent() tells the caller to store the
/// password anew after it was typed right. A password that is asked for but
/// was never set lets the user in, since there is nothing to compare with;
/// the settings page sets one as it switches the password on.
#pragma once

#include <string>
#include <string_view>

#include "core/ItemValues.h"

namespace zorvik::view {

class StartPassword {
public:
  /// Whether the password is asked now: at start, or when restored.
  static bool asked(const core::ItemValues& settings, bool restoring);

  /// The stored form of `password`, with a salt from `salt` (random bytes
  /// of the caller; tests pass a fixed one).
  static std::string stored(std::string_view password, std::string_view salt);
  /// Whether `typed` is the password of `stored` (an empty `stored`
  /// accepts anything; a form not recognised accepts nothing).
  static bool matches(std::string_view stored, std::string_view typed);
  /// Whether `stored` is in the form stored() writes now.
  static bool isCurrent(std::string_view stored);
  /// Random salt bytes.
  static std::string freshSalt();
};

}  // namespace zorvik::view
