#include "view/MailProperties.h"

#include <ctime>

#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::view {
namespace {

using platform::sjisLiteral;

// "a\r\nb" (one address a line) as "a, b".
std::string joined(std::string lines) {
  std::string out;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find("\r\n", start);
    if (end == std::string::npos) end = lines.size();
    if (end > start) out += (out.empty() ? "" : ", ") + lines.substr(start, end - start);
    start = end + 2;
  }
  return out;
}

std::string dateText(std::time_t seconds, int zoneHours) {
  if (seconds == 0) return {};
  const std::time_t shifted = seconds + static_cast<std::time_t>(zoneHours) * 3600;
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &fields));
}

std::string baseName(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::optional<MailProperties> MailProperties::of(const store::StoreLocation& store, const std::string& tray,
                                                 std::uint32_t index, int zoneHours) {
  store::TrayFile file(store, tray);
  store::TrayRecord stored;
  if (file.read(index, stored) != store::ReadResult::Live) return std::nullopt;
  const std::string owner = stored.isLink() ? stored.linkTarget : tray;
  const std::uint32_t at = stored.isLink() ? stored.linkIndex : index;
  const store::TrayFile holder(store, owner);
  const auto header = holder.headerLines(at);
  if (!header) return std::nullopt;

  message::ParseContext context;
  context.zoneHours = zoneHours;
  message::MailRecord record;
  message::MailRecordParser(context).reparse(record, *header);

  MailProperties properties;
  properties.header = *header;
  properties.info = {{"From", joined(record.from)},
                     {sjisLiteral("件名"), record.subject},
                     {"To", joined(record.to)},
                     {"Cc", joined(record.cc)},
                     {"Bcc", joined(record.bcc)},
                     {sjisLiteral("送信時刻"), dateText(record.date, zoneHours)},
                     {sjisLiteral("キー"), record.listTag},
                     {"Sender", record.sender},
                     {"ReplyTo", record.replyTo},
                     {"MsgId", record.messageId}};
  properties.other = {{sjisLiteral("トレイ"), owner},
                      {sjisLiteral("番号"), std::to_string(at)},
                      {sjisLiteral("ヘッダー行数"), std::to_string(stored.record.headerLineCount())},
                      {sjisLiteral("本文行数"), std::to_string(stored.record.bodyLineCount())},
                      {sjisLiteral("状態"), [&] {
                         char hex[16];
                         std::snprintf(hex, sizeof hex, "%08X", stored.record.flags());
                         return std::string(hex);
                       }()}};
  if (stored.isLink()) properties.other.emplace_back(sjisLiteral("リンク元"), tray);
  if (const auto folder = store::TrayAttachments::folderName(*header)) {
    const std::string root = platform::joinPath(store::TrayAttachments::root(store, owner), *folder);
    for (const auto& entry : platform::listDirectory(root)) {
      if (entry.isDirectory) continue;
      const std::string path = platform::joinPath(root, entry.name);
      properties.attachments.push_back({entry.name, path, platform::fileSize(path).value_or(0)});
    }
  }
  return properties;
}

std::optional<std::string> MailProperties::save(const Attachment& attachment, const std::string& folder) {
  const std::string name = baseName(attachment.name);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  const std::string target = platform::joinPath(folder, name);
  if (platform::pathExists(target)) return std::nullopt;
  if (!platform::copyFile(attachment.path, target)) return std::nullopt;
  return target;
}

}  // namespace zorvik::view
