/// \file
/// Where the mails of the unsent tray go after a send. Each mail the server
/// accepted goes, by the tray it belongs to (the tray it was written from,
/// named in its internal line):
///  - that tray keeps no sent mail: to the trash;
///  - that tray sorts its sent mail: into that tray, with a link left in the
///    sent tray when the tray asks for it, and a line in the sorting log;
///  - otherwise (no such tray named, or it has neither switch): to the sent
///    tray. A named tray that cannot be opened shows 40132 and the mail goes
///    to the sent tray as well.
/// Mails not sent stay in the unsent tray. Moves keep the mail's marks and
/// its reference count, and the links that pointed at it follow it.
///
/// Mails are moved in one batch per destination, so the store's links are
/// walked once per destination rather than once per mail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/MailRecordParser.h"
#include "store/StoreLocation.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::mailflow {

struct PlacementSettings {
  std::string unsentTray;  ///< item 204
  std::string sentTray;    ///< item 205
  std::string trashTray;   ///< item 206
  int zoneHours = 9;

  static PlacementSettings fromSettings(const core::SettingsFile& settings);
};

/// A sent mail moved into the tray it belongs to, for the sorting log.
struct SentMailSorted {
  std::string sourceTray;
  std::string messageId;
  std::string destination;
};

struct PlacementResult {
  std::size_t toSentTray = 0;
  std::size_t toOwnTrays = 0;
  std::size_t toTrash = 0;
  /// Mails left in the unsent tray: not sent, or a move that failed.
  std::size_t leftUnsent = 0;
};

class SentMailPlacement {
public:
  /// Told of every mail moved into its own tray (the caller writes the
  /// sorting log line, kind sent and automatic).
  using SortLogger = std::function<void(const SentMailSorted&)>;

  /// `parser` and `messages` must outlive the placement.
  SentMailPlacement(store::StoreLocation store, PlacementSettings settings, const message::MailRecordParser& parser,
                    core::Messages& messages, SortLogger logger = {});

  /// Places the mails of the unsent tray whose indices are in `sent` (the
  /// indices of one send phase) and leaves the others.
  PlacementResult place(const std::vector<std::uint32_t>& sent) const;

private:
  struct Destination {
    std::string tray;
    bool ownTray = false;
    bool leaveLink = false;
  };

  Destination destinationOf(std::uint32_t index, std::string& messageId) const;

  store::StoreLocation store_;
  PlacementSettings settings_;
  const message::MailRecordParser& parser_;
  core::Messages& messages_;
  SortLogger logger_;
};

}  // namespace zorvik::mailflow
