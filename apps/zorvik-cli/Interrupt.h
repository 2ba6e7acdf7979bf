/// \file
/// Ctrl-C (SIGINT) and SIGTERM for zorvik-cli. While a workflow watches
/// the stop request, each Ctrl-C adds to it: the first lets the work end
/// after the mail in hand, a second stops it at once; SIGTERM stops it at
/// once. Either way the mails stored so far stay. Commands that do not
/// watch end at the first signal, as any program does.
#pragma once

#include "mailflow/StopRequest.h"

namespace zorvik::cli {

/// Routes the signals to `request` from now on (for the process's life).
void watchInterrupts(mailflow::StopRequest& request);

}  // namespace zorvik::cli
