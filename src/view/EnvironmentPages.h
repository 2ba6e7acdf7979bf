/// \file
/// The pages of the environment settings sheet "環境設定" and of their
/// sub-dialogs: which items each control edits and the words it shows.
/// Every item a person may change is on one of them; the items the program
/// keeps for itself (version, remembered dialog choices, the sort order,
/// the tree structure file) are not.
#pragma once

#include <vector>

#include "view/SettingsField.h"

namespace zorvik::view {

/// The pages in the order the sheet shows them.
const std::vector<SettingsPage>& environmentPages();

/// The item ids edited by `page`, its sub-dialogs included, in page order.
std::vector<int> itemsOf(const SettingsPage& page);

}  // namespace zorvik::view
