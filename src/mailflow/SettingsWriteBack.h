/// \file
/// Settings a front end changes while it runs (the choices a dialog
/// remembers, an account kept from the send/receive dialog): the change
/// goes into the open document and into the settings file on disk.
///
/// The file is read afresh and only the change is applied to it: the
/// document's own copy has its relative paths resolved against the
/// program's folder, and those must stay relative in the file, or moving
/// the store with its settings file would break it.
#pragma once

#include <functional>

#include "core/SettingsFile.h"

namespace zorvik::mailflow {

class Document;

class SettingsWriteBack {
public:
  using Change = std::function<void(core::SettingsFile&)>;

  /// Applies `change` to the document's settings and to the file they were
  /// loaded from. False after 44200, 44201 or 40186; the document keeps the
  /// change all the same.
  static bool apply(Document& document, const Change& change);
};

}  // namespace zorvik::mailflow
