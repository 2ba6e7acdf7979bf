#include "mailflow/WorkFileIntake.h"

#include <algorithm>
#include <ctime>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/ServerMailOrigin.h"
#include "mailflow/StoreMailServerTray.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "store/PartialJoiner.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

// A work file this short holds no mail: not even a separator line and an
// empty header.
constexpr std::uint64_t kEmptyWorkFileSize = 10;

// "<work file>-YYYYMMDD-HHMMSS.XM0" beside the work file: a name no
// workflow writes and the exit clean-up does not remove.
std::string setAsideName(const std::string& workFile) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
  const std::size_t dot = workFile.rfind('.');
  return workFile.substr(0, dot) + stamp + workFile.substr(dot);
}

}  // namespace

std::uint32_t Intake::sortCount() const {
  const std::uint32_t storedEnd = stored.firstIndex + stored.appended;
  const std::uint32_t joinedEnd = joinedCount > 0 ? joinedFirst + joinedCount : 0;
  return std::max(storedEnd, joinedEnd) - stored.firstIndex;
}

bool WorkFileIntake::appendLeftover(const Document& document) {
  // Read before the move deletes the file: the receive that wrote it may
  // have died before it marked these mails received on its side.
  const std::vector<std::string> origins = ServerMailOrigin::inWorkFile(document.workFilePath());
  if (!append(document, {})) return false;
  StoreMailServerTray tray = StoreMailServerTray::ofDocument(document);
  ServerMailOrigin::markReceived(tray, origins);
  return true;
}

bool WorkFileIntake::holdsMail(const Document& document) {
  const auto size = platform::fileSize(document.workFilePath());
  return size && *size > kEmptyWorkFileSize;
}

std::optional<Intake> WorkFileIntake::move(const Document& document, const std::string& tray) {
  auto intake = append(document, tray);
  if (!intake) document.messages().error(MessageNumber::WorkFileNotMoved);
  return intake;
}

std::optional<Intake> WorkFileIntake::append(const Document& document, const std::string& tray) {
  const core::SettingsFile& settings = document.settings();
  const std::string target = tray.empty() ? settings.text(core::item::kNewMailTray) : tray;
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
  const auto stored =
      store::WorkFileAppender::append(document.workFilePath(), store::TrayFile(document.store(), target), parser);
  if (!stored) return std::nullopt;
  Intake intake{*stored};
  if (stored->fragment) {
    const store::JoinResult joined =
        store::PartialJoiner(document.store(), store::JoinSettings::fromSettings(settings, document.store(), target),
                             parser, document.messages())
            .join();
    intake.joinedCount = joined.joined;
    intake.joinedFirst = joined.firstIndex;
  }
  return intake;
}

bool WorkFileIntake::clearForNewMail(const Document& document) {
  if (holdsMail(document)) {
    if (appendLeftover(document)) return true;
    document.messages().error(MessageNumber::LeftoverNotMoved, {document.workFilePath()});
    return false;
  }
  // A few bytes left by an earlier run are no mail; they would only stand
  // in front of the first separator.
  platform::removeFile(document.workFilePath());
  return true;
}

void WorkFileIntake::recoverAtStart(const Document& document) {
  const std::string path = document.workFilePath();
  if (!platform::fileSize(path)) return;
  if (!holdsMail(document)) {
    platform::removeFile(path);
    return;
  }
  if (document.messages().question(MessageNumber::RecoverWorkFile)) {
    if (!appendLeftover(document)) document.messages().fatal(MessageNumber::WorkFileNotMoved);
    return;
  }
  const std::string aside = setAsideName(path);
  if (platform::renamePath(path, aside))
    document.messages().information(MessageNumber::WorkFileSetAside, {aside, path});
}

}  // namespace zorvik::mailflow
