#include "view/MailTextContent.h"

#include "message/AttachmentFolder.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "store/TrayRecord.h"
#include "view/QuoteLine.h"

namespace zorvik::view {
namespace {

BodyLine bodyLine(std::string text, const MailTextContent::FileResolver& resolve) {
  BodyLine line{std::move(text), {}, false, {}};
  line.tags = TagScanner::scan(line.text);
  line.quote = QuoteLine::is(line.text);
  if (line.tags.size() == 1 && isFileTag(line.tags.front().kind)) {
    const auto file = resolve ? resolve(line.tags.front().reference) : std::nullopt;
    if (file)
      line.file = *file;
    else
      line.tags.clear();
  }
  return line;
}

MailTextContent titleLine(const char* label, std::string_view name) {
  return MailTextContent({}, {platform::sjisLiteral(label) + std::string(name)}, {});
}

}  // namespace

MailTextContent::MailTextContent(std::vector<HeaderRow> rows, const std::vector<std::string>& body,
                                 const FileResolver& resolve)
    : rows_(std::move(rows)) {
  lines_.reserve(body.size());
  for (const std::string& text : body) lines_.push_back(bodyLine(text, resolve));
}

std::optional<MailTextContent> MailTextContent::load(const store::StoreLocation& store, const std::string& tray,
                                                     std::uint32_t index, int zoneHours) {
  const store::TrayFile file(store, tray);
  store::TrayRecord stored;
  if (file.read(index, stored) != store::ReadResult::Live) return std::nullopt;
  const auto header = file.headerLines(index);
  auto reader = file.bodyReader(index);
  if (!header || !reader) return std::nullopt;

  message::ParseContext context;
  context.zoneHours = zoneHours;
  message::MailRecord record;
  message::MailRecordParser(context).reparse(record, *header);

  // A link's mail, and so its attachment folder, lives in the target tray.
  const std::string& home = stored.isLink() ? stored.linkTarget : tray;
  const std::string root = store::TrayAttachments::root(store, home);
  const std::string folder = store::TrayAttachments::folderName(*header).value_or("");
  const FileResolver resolve = [&](std::string_view reference) -> std::optional<std::string> {
    auto path = message::AttachmentFolder::resolve(reference, root, folder, record.messageId);
    if (!path || !platform::pathExists(*path)) return std::nullopt;
    return path;
  };

  std::vector<std::string> body;
  for (std::string line; reader->next(line);) body.push_back(std::move(line));
  MailTextContent content(HeaderRows::of(record, stored.isLink() ? stored.linkTarget : "", zoneHours), body, resolve);
  content.home_ = std::make_pair(home, stored.isLink() ? stored.linkIndex : index);
  return content;
}

MailTextContent MailTextContent::cabinetTitle(std::string_view name) { return titleLine("引出名 : ", name); }
MailTextContent MailTextContent::trayTitle(std::string_view name) { return titleLine("トレイ名 : ", name); }

std::string MailTextContent::subject() const {
  for (const HeaderRow& row : rows_) {
    if (row.kind == HeaderRow::Kind::Subject) return row.value;
  }
  return {};
}

std::string MailTextContent::bodyText() const {
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i].text;
  }
  return text;
}

}  // namespace zorvik::view
