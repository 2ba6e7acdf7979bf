/// \file
/// What the front end that starts a workflow lends it besides the open
/// document: where progress lines go (the status line of the desktop
/// client, stderr of zorvik-cli), how a tray's arrival sound rings, the
/// clock sorting stamps its log with, and the stop request the user can
/// set, and the dialog that asks before dialling up (none: the stored
/// values are dialled). Questions and numbered messages go through the
/// document's core::Messages.
#pragma once

#include "core/Progress.h"
#include "mailflow/DialUpPrompt.h"
#include "mailflow/StopRequest.h"
#include "platform/Clock.h"
#include "platform/Sound.h"

namespace zorvik::mailflow {

struct FrontEnd {
  core::Progress& progress;
  platform::Sound& sound;
  const platform::Clock& clock;
  const StopRequest& stop;
  DialUpPrompt* dialUpPrompt = nullptr;
};

}  // namespace zorvik::mailflow
