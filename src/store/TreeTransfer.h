/// \file
/// Exports a cabinet's tree with every tray's properties into a tray
/// property file, and builds a store's cabinets and trays from one (the
/// import command, and the tree structure file read when a first start
/// builds a new store).
#pragma once

#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "store/TrayName.h"
#include "store/TrayPropertyFile.h"

namespace zorvik::store {

/// The records of `cabinet` and everything below it: each cabinet's record
/// is followed by its ".Default" tray's record when it has one, then by its
/// contents in listing order. Trays whose properties cannot be read are
/// left out and make `complete` false.
std::vector<TrayPropertyRecord> treeRecords(const StoreLocation& store, std::string_view cabinet,
                                            bool& complete);

/// Writes the tree of `cabinet` (a path relative to the top cabinet; "" the
/// top cabinet) into the tray property file `filePath`. False when the
/// cabinet does not exist, a tray could not be read, or the file could not
/// be written.
bool exportTree(const StoreLocation& store, std::string_view cabinet, std::string_view filePath);

/// Builds what the tray property file `filePath` describes: a cabinet record
/// creates the cabinet with every missing level; a tray record rewrites the
/// properties of the existing tray of that name or creates it (with its
/// missing cabinets) with the record's properties. A name whose files exist
/// but do not read as a tray is refused rather than overwritten: creating
/// it would empty its text file.
///
/// Every problem is shown as error 40190 with the file name, the line and a
/// reason; after 20 of them the file is taken for garbage and the rest is
/// not applied. Records before a fault keep their effect. False when the
/// top cabinet does not exist, the file cannot be opened, an item error
/// ends the read, or a record could not be applied.
bool importTree(const StoreLocation& store, std::string_view filePath, core::Messages& messages);

}  // namespace zorvik::store
