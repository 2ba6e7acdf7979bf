/// \file
/// Everything a sorting run takes from the personal settings, gathered once
/// when the run starts: where the store and its new-mail and trash trays
/// are, the order in which trays are tried, the keyword switches, the
/// thread level, and where the sorting log and its journal lie. A run works
/// on this copy, so a worker thread never reads the settings object while
/// the user changes it.
#pragma once

#include <string>

#include "message/MailRecordParser.h"
#include "sorting/TrayChooser.h"
#include "store/StoreLocation.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::sorting {

/// Where choosing and applying run after a receive.
enum class SortThreadLevel : int {
  Inline = 0,         // both on the caller's thread, before the call returns
  ChooseOnWorker = 1, // choosing on a worker, applying on the caller's thread
  AllOnWorker = 2,    // both on a worker
};

struct SortEnvironment {
  store::StoreLocation store;
  std::string newMailTray;  // where received mails arrive
  std::string trashTray;
  std::string order;        // the user's priority list of cabinets and trays
  SortSettings rules;
  message::ParseContext parse;
  SortThreadLevel threadLevel = SortThreadLevel::Inline;
  bool sortAfterReceive = false;
  std::string logPath;
  /// Notes the batch of moves in progress, so that a run killed half way
  /// is finished by the next one (see SortJournal).
  std::string journalPath;

  /// The values of `settings` (its paths already resolved) for `store`.
  static SortEnvironment fromSettings(const core::SettingsFile& settings, store::StoreLocation store);
};

}  // namespace zorvik::sorting
