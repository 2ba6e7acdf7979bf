/// \file
/// The trash at the end of a session: when the user asked for it (settings
/// item 209), every link row of the trash is released and the trash is
/// emptied with the attachment folders of its mails.
#pragma once

#include "core/ItemValues.h"
#include "core/Messages.h"
#include "store/TrayName.h"

namespace zorvik::store {

/// Empties the trash (settings item 206) when item 209 is on, or always with
/// `always`. True when there was nothing to do or the trash is empty now.
bool emptyTrashAtExit(const StoreLocation& store, const core::ItemValues& settings, core::Messages& messages,
                      bool always = false);

}  // namespace zorvik::store
