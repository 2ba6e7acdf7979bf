#include "store/MailCopy.h"

#include <filesystem>
#include <limits>
#include <system_error>

#include "message/AttachmentFolder.h"
#include "platform/FileSystem.h"
#include "store/TrayAttachments.h"
#include "store/TrayTextReader.h"

namespace zorvik::store {
namespace {

constexpr std::string_view kFolderLine = "X-Zorvik-AttachDir: ";

std::string joinedHeader(const MailText& mail) {
  std::string header;
  for (const std::string& line : mail.header) {
    if (!header.empty()) header += "\r\n";
    header += line;
  }
  return header;
}

}  // namespace

std::optional<MailText> MailCopy::read(const StoreLocation& store, std::string_view trayName,
                                       const TrayRecord& stored) {
  const IndexRecord& record = stored.record;
  const std::string_view tray = stored.isLink() ? std::string_view(stored.linkTarget) : trayName;
  if (record.bodyStart() < record.textStart()) return std::nullopt;
  auto text = TrayTextReader::open(TrayName::path(store, tray, filetype::kText), record.textStart(),
                                   std::numeric_limits<std::uint32_t>::max());
  MailText mail;
  if (!text || !text->next(mail.separator) || !mail.separator.starts_with("From ")) return std::nullopt;
  std::string line;
  // The empty line and the body start both end the header, so a damaged
  // line count never pulls body lines into the header of the copy.
  while (text->position() < record.bodyStart() && text->next(line) && !line.empty()) mail.header.push_back(line);
  if (text->position() != record.bodyStart()) return std::nullopt;
  for (std::uint32_t n = 0; n < record.bodyLineCount() && text->next(line); ++n) mail.body.push_back(line);
  return mail;
}

std::optional<std::string> MailCopy::folderOf(const MailText& mail) {
  return TrayAttachments::folderName(joinedHeader(mail));
}

bool MailCopy::copyAttachments(const StoreLocation& store, MailText& mail, std::string_view from,
                               std::string_view to, std::int64_t date, int zoneHours) {
  const auto folder = folderOf(mail);
  if (!folder) return true;
  const std::string source = platform::joinPath(TrayAttachments::root(store, from), *folder);
  if (!platform::isDirectory(source)) return true;
  const std::string root = TrayAttachments::root(store, to);
  const auto created = message::AttachmentFolder::create(root, static_cast<std::time_t>(date), zoneHours);
  if (!created) return false;
  std::error_code error;
  std::filesystem::copy(platform::nativePath(source), platform::nativePath(platform::joinPath(root, *created)),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                        error);
  if (error) {
    platform::removeTree(platform::joinPath(root, *created));
    return false;
  }
  for (std::string& line : mail.header) {
    if (line.starts_with(kFolderLine)) line = std::string(kFolderLine) + *created;
  }
  return true;
}

}  // namespace zorvik::store
