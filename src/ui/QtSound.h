/// \file
/// The desktop client's sounds: a tray's arrival sound and the system
/// beeps ring the desktop's bell (QApplication::beep) on the application's
/// thread, whichever thread asked; a wave file rings it too, as the
/// desktop may have no sound system at all.
#pragma once

#include "platform/Sound.h"

namespace zorvik::ui {

class QtSound final : public platform::Sound {
public:
  void beep(std::uint32_t type) override;
  void playWave(const std::string& path) override;
};

}  // namespace zorvik::ui
