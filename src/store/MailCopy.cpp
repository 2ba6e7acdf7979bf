#include "store/MailCopy.h"

#include <filesystem>
#include <vector>
#include <system_error>

#include "message/AttachmentFolder.h"
#include "platform/FileSystem.h"
#include "store/TrayAttachments.h"

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

bool MailCopy::readBytes(std::uint64_t offset, std::size_t size, std::string& out) const {
  out.resize(size);
  const auto got = file_->readAt(offset, out.data(), size);
  if (!got) return false;
  out.resize(*got);
  return true;
}

std::optional<MailText> MailCopy::read(std::string_view trayName, const TrayRecord& stored) {
  const IndexRecord& record = stored.record;
  const std::string_view tray = stored.isLink() ? std::string_view(stored.linkTarget) : trayName;
  if (record.bodyStart() < record.textStart()) return std::nullopt;
  const std::string path = TrayName::path(store_, tray, filetype::kText);
  if (path != path_ || !file_) {
    file_.reset();
    path_ = path;
    file_ = platform::FileLock::open(path, platform::FileAccess::Read);
  }
  if (!file_) return std::nullopt;
  // The header's bytes are known; the body's are not, so the guess grows
  // until the body's lines are all there or the file ends.
  const std::uint64_t headerBytes = record.bodyStart() - record.textStart();
  std::size_t want = static_cast<std::size_t>(headerBytes) + 4096;
  std::string bytes;
  for (;;) {
    if (!readBytes(record.textStart(), want, bytes)) return std::nullopt;
    const bool atEnd = bytes.size() < want;
    MailText mail;
    mail.separator.clear();
    enum { Separator, Header, Body } part = Separator;
    std::size_t at = 0;
    while (at < bytes.size()) {
      std::size_t end = bytes.find('\n', at);
      if (end == std::string::npos) {
        if (!atEnd) break;
        end = bytes.size();
      }
      std::string line = bytes.substr(at, end - at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      at = end + 1;
      if (part == Separator) {
        if (!line.starts_with("From ")) return std::nullopt;
        mail.separator = std::move(line);
        part = Header;
      } else if (part == Header) {
        // The empty line must end the header exactly at the body start: a
        // damaged record would otherwise pull body lines into the header.
        if (!line.empty() && at < headerBytes) {
          mail.header.push_back(std::move(line));
          continue;
        }
        if (!line.empty() || at != headerBytes) return std::nullopt;
        part = Body;
      } else {
        mail.body.push_back(std::move(line));
      }
      if (part == Body && mail.body.size() == record.bodyLineCount()) return mail;
    }
    if (atEnd) {
      if (part == Body) return mail;
      return std::nullopt;
    }
    want *= 4;
  }
}

std::optional<std::string> MailCopy::folderOf(const MailText& mail) {
  return TrayAttachments::folderName(joinedHeader(mail));
}

bool MailCopy::copyAttachments(const StoreLocation& store, MailText& mail, std::string_view from,
                               std::string_view to, std::int64_t date, int zoneHours) {
  auto folder = folderOf(mail);
  const bool named = folder.has_value();
  // A mail stored before folders were named in the header keeps its files
  // in a folder named by its Message-Id; its copy gets a folder of its own
  // like any other, and a line that names it.
  if (!named) folder = TrayAttachments::messageIdFolderName(joinedHeader(mail));
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
  if (!named) mail.header.push_back(std::string(kFolderLine) + *created);
  for (std::string& line : mail.header) {
    if (line.starts_with(kFolderLine)) line = std::string(kFolderLine) + *created;
  }
  return true;
}

}  // namespace zorvik::store
