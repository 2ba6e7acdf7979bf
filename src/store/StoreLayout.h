/// \file
/// The fixed layout of a store below its top cabinet, checked at every start
/// and built when a new store is made:
///
///     .tmp, .tmp/ed     the work folder and its compose folder (or the
///                       folder the work-folder setting names, and its "ed")
///     .inc              the attachment folders
///     .Xcut, .Xcopy     holding cabinets for cut and copied tree items
///     the seven system trays, named by the settings
///
/// Existing folders and trays are never touched: only what is missing is
/// created, so a check at start costs a few stat calls.
#pragma once

#include <string>

#include "core/ItemValues.h"

namespace zorvik::store {

/// The work folder as a path: the work-folder setting when it is a full
/// path, else that setting (or ".tmp") below the top cabinet.
std::string workDirectoryPath(const core::ItemValues& settings);

/// The tray check of every start: creates the missing work folders, special
/// folders and system trays (with the system-tray properties, without
/// ".Default" inheritance). With the skip-tray-check setting on it succeeds
/// at once. Fails as soon as a folder or tray cannot be created, when a
/// system tray's name would lie outside the store, and for an empty store
/// root or a top cabinet name that is no valid name (the store would land
/// at "/" or outside the store root).
bool checkTrays(const core::ItemValues& settings);

/// Builds a new store: every missing level of the store root, the top
/// cabinet, then everything the tray check creates.
bool createStore(const core::ItemValues& settings);

}  // namespace zorvik::store
