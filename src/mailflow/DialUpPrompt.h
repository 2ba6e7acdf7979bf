/// \file
/// The dialog "ﾀﾞｲｱﾙｱｯﾌﾟ接続" that asks before dialling while settings item
/// 905 is on: the entry, user, password and domain, which the user may
/// change for this connection. A front end without such a dialog lends
/// none, and the stored values are dialled.
///
/// The same front end may show the dialling itself, in the window
/// "ﾀﾞｲｱﾙｱｯﾌﾟ接続中": dialling() lends the window's observer (states and
/// its "中断(&A)") for one connection, whether the prompt was asked or
/// not; dialled() follows once the connection is up, failed or broken off.
/// Without a window the states go to the front end's progress line.
#pragma once

#include "net/DialUp.h"

namespace zorvik::mailflow {

class DialUpPrompt {
public:
  virtual ~DialUpPrompt() = default;
  /// False when the user cancels: nothing is dialled, the command ends.
  virtual bool confirm(net::DialEntry& entry) = 0;

  virtual net::DialObserver* dialling(const net::DialEntry&) { return nullptr; }
  virtual void dialled() {}
};

}  // namespace zorvik::mailflow
