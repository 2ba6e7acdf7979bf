/// \file
/// The dialog "ﾀﾞｲｱﾙｱｯﾌﾟ接続" that asks before dialling while settings item
/// 905 is on: the entry, user, password and domain, which the user may
/// change for this connection. A front end without such a dialog lends
/// none, and the stored values are dialled.
#pragma once

#include "net/DialUp.h"

namespace zorvik::mailflow {

class DialUpPrompt {
public:
  virtual ~DialUpPrompt() = default;
  /// False when the user cancels: nothing is dialled, the command ends.
  virtual bool confirm(net::DialEntry& entry) = 0;
};

}  // namespace zorvik::mailflow
