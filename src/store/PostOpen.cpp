#include "store/PostOpen.h"

#include <cstdlib>
#include <ctime>

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "message/MailRecordParser.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/WorkFileAppender.h"

namespace zorvik::store {
namespace {

constexpr int kMoveWorkFile = 44111;
constexpr int kWorkFileNotMoved = 44112;
// A work file this short holds no mail: not even a separator line and an
// empty header.
constexpr std::uint64_t kEmptyWorkFileSize = 10;

}  // namespace

void applyTimeZone(const core::SettingsFile& settings) {
  const std::string& zone = settings.text(core::item::kTimeZone);
  ::setenv("TZ", zone.empty() ? "JST-9" : zone.c_str(), 1);
  ::tzset();
}

WorkFileMover workFileMover(const core::SettingsFile& settings) {
  return [&settings](const std::string& workFile, const std::string& newMailTray) {
    const StoreLocation store = StoreLocation::fromSettings(settings);
    const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
    return WorkFileAppender::append(TrayName::path(store, workFile, filetype::kText), TrayFile(store, newMailTray),
                                    parser)
        .has_value();
  };
}

std::string workFileTextPath(const core::SettingsFile& settings) {
  return TrayName::path(StoreLocation::fromSettings(settings), settings.workingDirectories().newMailWorkFile,
                        filetype::kText);
}

void recoverWorkFile(const core::SettingsFile& settings, core::Messages& messages, const WorkFileMover& move) {
  const std::string path = workFileTextPath(settings);
  const auto size = platform::fileSize(path);
  if (!size) return;
  if (*size > kEmptyWorkFileSize && messages.question(kMoveWorkFile)) {
    if (!move(settings.workingDirectories().newMailWorkFile, settings.text(core::item::kNewMailTray)))
      messages.fatal(kWorkFileNotMoved);
    return;
  }
  platform::removeFile(path);
}

}  // namespace zorvik::store
