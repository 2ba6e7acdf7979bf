#include "import/BeckyConverter.h"

#include <ctime>

#include "core/MessageNumber.h"
#include "core/SjisText.h"
#include "message/AttachmentFolder.h"
#include "message/AttachmentName.h"
#include "message/MailDate.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"

namespace zorvik::import {
namespace {

constexpr std::string_view kSeparator = "From  \r\n";
constexpr std::string_view kFromField = "From:";
constexpr std::string_view kDateField = "Date:";
constexpr std::string_view kAttachmentField = "X-Becky-Attachment-File:";
constexpr std::string_view kFolderLine = "X-Zorvik-AttachDir: ";

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

BeckyConverter::BeckyConverter(BeckySettings settings, core::Messages& messages, MailHandler each)
    : settings_(std::move(settings)), messages_(messages), each_(std::move(each)) {}

bool BeckyConverter::line(std::string_view line) {
  switch (state_) {
    case State::Between:
      if (core::startsWithIgnoringAsciiCase(line, kFromField)) startMail(line);
      return true;
    case State::Header:
      if (line == ".") {
        endHeader();
        return endMail();
      }
      if (line.empty()) {
        endHeader();
        return true;
      }
      headerLine(line);
      return true;
    case State::Body:
      if (line == ".") return endMail();
      if (!admitted_) return true;
      if (line.starts_with("From ")) text_ += '>';
      append(line);
      return true;
  }
  return true;
}

void BeckyConverter::startMail(std::string_view line) {
  text_.assign(kSeparator);
  attachments_.clear();
  references_.clear();
  date_.reset();
  state_ = State::Header;
  append(line);
}

void BeckyConverter::headerLine(std::string_view line) {
  if (core::startsWithIgnoringAsciiCase(line, kAttachmentField) && settings_.attachFolder) {
    attachments_.emplace_back(trimmed(line.substr(kAttachmentField.size())));
    return;
  }
  if (core::startsWithIgnoringAsciiCase(line, kDateField))
    date_ = message::MailDate::tryParse(line.substr(kDateField.size()), settings_.zoneHours);
  // No header line, but it would start a mail of the tray.
  if (line.starts_with("From ")) text_ += '>';
  append(line);
}

void BeckyConverter::endHeader() {
  state_ = State::Body;
  admitted_ = !settings_.admits || settings_.admits(date_);
  if (admitted_ && !attachments_.empty()) {
    const auto folder = message::AttachmentFolder::create(settings_.attachmentRoot, date_.value_or(std::time(nullptr)),
                                                          settings_.zoneHours);
    if (!folder) messages_.error(core::MessageNumber::AttachmentNotCopied, {attachments_.front()});
    if (folder && copyAttachments(*folder)) {
      text_ += kFolderLine;
      text_ += *folder;
      text_ += "\r\n";
    }
  }
  text_ += "\r\n";
}

bool BeckyConverter::copyAttachments(const std::string& folder) {
  const std::string target = platform::joinPath(settings_.attachmentRoot, folder);
  std::size_t copied = 0;
  for (const std::string& name : attachments_) {
    // The name comes from the mailbox: only a plain name in "Attach" is copied.
    const std::string safe = message::AttachmentName::safe(name);
    const auto saved = message::AttachmentName::freePath(target, safe);
    if (safe != name || !saved || !platform::copyFile(platform::joinPath(*settings_.attachFolder, name), *saved)) {
      messages_.error(core::MessageNumber::AttachmentNotCopied, {name});
      platform::removeTree(target);
      references_.clear();
      return false;
    }
    references_.push_back("@#MIME \"%:" + platform::fileNameOf(*saved) + "\"\r\n");
    ++copied;
  }
  copied_ += copied;
  return true;
}

bool BeckyConverter::endMail() {
  state_ = State::Between;
  if (!admitted_) return true;
  for (const std::string& reference : references_) text_ += reference;
  const bool goOn = each_(text_);
  text_.clear();
  return goOn;
}

bool BeckyConverter::finish() {
  if (state_ == State::Between) return true;
  if (state_ == State::Header) endHeader();
  return endMail();
}

void BeckyConverter::append(std::string_view line) {
  text_.append(line);
  text_ += "\r\n";
}

ReadEnd BeckyConverter::convertFile(std::string_view path, BeckySettings settings, core::Messages& messages,
                                    const MailHandler& each) {
  auto input = platform::LineReader::openFile(path);
  if (!input.isOpen()) return ReadEnd::Unreadable;
  BeckyConverter converter(std::move(settings), messages, each);
  std::string line;
  while (input.next(line)) {
    if (!converter.line(line)) return ReadEnd::Stopped;
  }
  return converter.finish() ? ReadEnd::Done : ReadEnd::Stopped;
}

std::optional<std::string> BeckyConverter::findAttachFolder(std::string_view mailbox) {
  std::string folder = platform::directoryOf(mailbox);
  if (!platform::isFullPath(folder))
    folder = folder.empty() ? platform::currentDirectory() : platform::joinPath(platform::currentDirectory(), folder);
  for (;;) {
    const std::string attach = platform::joinPath(folder, "Attach");
    if (platform::isDirectory(attach)) return attach;
    if (folder == "/") return std::nullopt;
    folder = platform::directoryOf(folder);
  }
}

}  // namespace zorvik::import
