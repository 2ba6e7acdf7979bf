/// \file
/// What a start does after the environment check, before the user works:
/// the time zone of the settings goes into the environment, and mails that a
/// receive left in the new-mail work file (when the disk ran full) are moved
/// into the new-mail tray or thrown away, as the user chooses.
#pragma once

#include <functional>
#include <string>

#include "core/Messages.h"
#include "core/SettingsFile.h"

namespace zorvik::store {

/// Puts "TZ=<time-zone setting>" into the environment and re-reads it; an
/// empty setting gives "JST-9".
void applyTimeZone(const core::SettingsFile& settings);

/// Appends the mails of the work file (a tray name) to the new-mail tray
/// and deletes the work file; false when that fails.
using WorkFileMover = std::function<bool(const std::string& workFile, const std::string& newMailTray)>;

/// The mover of a real start: the mails are decoded and appended as a
/// receive appends them, and the work file goes once all are stored. It
/// refers to `settings`, which must outlive it.
WorkFileMover workFileMover(const core::SettingsFile& settings);

/// The text file of the new-mail work file (its ".XM0").
std::string workFileTextPath(const core::SettingsFile& settings);

/// Recovers the new-mail work file: longer than 10 bytes, question 44111
/// asks; yes moves the mails with `move` (fatal error 44112 when that
/// fails: the process ends); no, or 10 bytes or fewer, deletes the file.
/// Nothing happens when there is no work file.
void recoverWorkFile(const core::SettingsFile& settings, core::Messages& messages, const WorkFileMover& move);

}  // namespace zorvik::store
