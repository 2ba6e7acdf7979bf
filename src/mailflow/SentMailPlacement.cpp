#include "mailflow/SentMailPlacement.h"

#include <algorithm>
#include <map>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/MailRecord.h"
#include "store/MailOperations.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"
#include "store/TrayName.h"
#include "store/TrayReader.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

struct Batch {
  std::vector<std::uint32_t> indices;
  std::vector<std::string> messageIds;
  bool ownTray = false;
  bool leaveLink = false;
};

}  // namespace

PlacementSettings PlacementSettings::fromSettings(const core::SettingsFile& settings) {
  PlacementSettings placement;
  placement.unsentTray = settings.text(core::item::kUnsentTray);
  placement.sentTray = settings.text(core::item::kSentTray);
  placement.trashTray = settings.text(core::item::kTrashTray);
  placement.zoneHours = settings.timeZoneOffsetHours();
  return placement;
}

SentMailPlacement::SentMailPlacement(store::StoreLocation store, PlacementSettings settings,
                                     const message::MailRecordParser& parser, core::Messages& messages,
                                     SortLogger logger)
    : store_(std::move(store)),
      settings_(std::move(settings)),
      parser_(parser),
      messages_(messages),
      logger_(std::move(logger)) {}

// The tray a sent mail belongs to decides; a name that points back at the
// unsent tray, or out of the store, is no tray to move into.
SentMailPlacement::Destination SentMailPlacement::destinationOf(std::uint32_t index, std::string& messageId) const {
  const Destination sent{settings_.sentTray};
  const auto header = store::TrayFile(store_, settings_.unsentTray).headerLines(index);
  if (!header) return sent;
  message::MailRecord record;
  parser_.reparse(record, *header);
  messageId = record.messageId;
  const std::string& owner = record.internalText;
  if (owner.empty() || owner == settings_.unsentTray || owner == settings_.sentTray) return sent;
  const auto properties = store::TrayName::isUsable(owner) ? store::TrayFile(store_, owner).properties()
                                                            : std::nullopt;
  if (!properties) {
    messages_.error(MessageNumber::MailTrayNotFound, {owner});
    return sent;
  }
  const std::uint32_t flags = properties->flags;
  if ((flags & store::trayflag::kNoKeepSent) != 0) return {settings_.trashTray};
  if ((flags & store::trayflag::kSentAutoSort) != 0)
    return {owner, true, (flags & store::trayflag::kSentLink) != 0};
  return sent;
}

PlacementResult SentMailPlacement::place(const std::vector<std::uint32_t>& sent) const {
  PlacementResult result;
  auto reader = store::TrayReader::open(store_, settings_.unsentTray);
  if (!reader) return result;
  std::map<std::string, Batch> batches;
  store::TrayRecord record;
  while (reader->nextMail(record) != store::ReadResult::End) {
    if (record.isLink()) continue;
    if (std::find(sent.begin(), sent.end(), record.index) == sent.end()) {
      ++result.leftUnsent;
      continue;
    }
    std::string messageId;
    const Destination destination = destinationOf(record.index, messageId);
    Batch& batch = batches[destination.tray];
    batch.indices.push_back(record.index);
    batch.messageIds.push_back(messageId);
    batch.ownTray = destination.ownTray;
    batch.leaveLink = destination.leaveLink;
  }
  reader.reset();  // the moves below write into the tray

  const store::MailOperations operations(store_, settings_.trashTray, settings_.zoneHours);
  for (const auto& [tray, batch] : batches) {
    const auto [placed, notRemoved] = operations.move(settings_.unsentTray, batch.indices, tray);
    // A mail placed whose original stayed would be sent again next time.
    result.leftUnsent += notRemoved.size();
    for (std::size_t i = 0; i < placed.size(); ++i) {
      if (!placed[i]) {
        ++result.leftUnsent;
        continue;
      }
      if (!batch.ownTray) {
        ++(tray == settings_.trashTray ? result.toTrash : result.toSentTray);
        continue;
      }
      ++result.toOwnTrays;
      if (batch.leaveLink) operations.link(tray, *placed[i], settings_.sentTray);
      if (logger_) logger_({settings_.unsentTray, batch.messageIds[i], tray});
    }
  }
  return result;
}

}  // namespace zorvik::mailflow
