/// \file
/// What a start does after the environment check, before the user works:
/// the time zone of the settings goes into the environment. Also where the
/// new-mail work file lies.
#pragma once

#include <string>

#include "core/SettingsFile.h"

namespace zorvik::store {

/// Puts "TZ=<time-zone setting>" into the environment and re-reads it; an
/// empty setting gives "JST-9".
void applyTimeZone(const core::SettingsFile& settings);

/// The text file of the new-mail work file (its ".XM0").
std::string workFileTextPath(const core::SettingsFile& settings);

}  // namespace zorvik::store
