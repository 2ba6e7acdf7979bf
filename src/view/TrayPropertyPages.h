/// \file
/// The pages of the tray property sheet "ﾄﾚｲ ﾌﾟﾛﾊﾟﾃｨ" (for a cabinet
/// "引出 ﾌﾟﾛﾊﾟﾃｨ"): the tray property items (1002-1026) each control edits;
/// the switches are bits of the flags word (1002).
///
/// How the tray keeps its mails (one file per tray or per mail) and
/// whether it is a system tray are shown, not changed: flipping either bit
/// without moving the tray's files would leave mails where the store no
/// longer looks for them.
#pragma once

#include <vector>

#include "view/SettingsField.h"

namespace zorvik::view {

const std::vector<SettingsPage>& trayPropertyPages();

}  // namespace zorvik::view
