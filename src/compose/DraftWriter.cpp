#include "compose/DraftWriter.h"

#include <algorithm>
#include <fstream>

#include "compose/DraftFile.h"
#include "compose/SendCharacterCheck.h"
#include "compose/Signatures.h"
#include "core/MessageFormat.h"
#include "core/SettingsItemTable.h"
#include "message/AddressParser.h"
#include "message/ComposedHeaderWriter.h"
#include "message/DraftBody.h"
#include "message/OutgoingText.h"
#include "message/TagCommand.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/MailRecordIndex.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"

namespace zorvik::compose {

using core::MessageNumber;

namespace {

constexpr std::size_t kFirstLineLimit = 1000;

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The text with each control character shown as "\r", "\n" or "\xHH", so
// the message says what was wrong with it.
std::string visible(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (isControl(c)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[(static_cast<unsigned char>(c) >> 4) & 0xF];
      out += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// One address a line, as a mail record keeps its lists.
std::string addressLines(std::string_view list) {
  std::string lines;
  for (const std::string& entry : message::AddressParser::splitList(list)) {
    if (!lines.empty()) lines += "\r\n";
    lines += entry;
  }
  return lines;
}

std::string firstLine(std::string_view text) {
  const std::string line = core::cutSjis(std::string(text.substr(0, text.find('\n'))), kFirstLineLimit);
  return std::string(trimmed(message::singleLine(line)));
}

// A path a tag line can name and the send can open: a readable file, and
// no quote or control character that would end or break the tag line.
bool isAttachable(std::string_view path) {
  for (const char c : path) {
    if (c == '"' || isControl(c)) return false;
  }
  if (!platform::isRegularFile(path)) return false;
  return std::ifstream(platform::nativePath(path), std::ios::binary).is_open();
}

std::string absolutePath(const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(platform::currentDirectory(), path);
}

bool hasText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

bool namesFiles(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const auto kind = message::TagCommand::parse(line).kind;
    if (kind == message::TagCommand::Kind::mime || kind == message::TagCommand::Kind::uuencode) return true;
  }
  return false;
}

}  // namespace

/// What the checks found out: the text, the subject to store, the body file
/// (and whether storing made it) and the tray's properties.
struct DraftWriter::Checked {
  std::string text;
  std::string subject;
  std::string bodyFile;
  bool madeBodyFile = false;
  std::optional<store::TrayProperties> tray;
};

DraftWriter::DraftWriter(store::StoreLocation store, const core::SettingsFile& settings, core::Messages& messages)
    : store_(std::move(store)), settings_(settings), messages_(messages) {}

std::optional<DraftWriter::Checked> DraftWriter::check(const Draft& draft, const StoreOptions& options) const {
  Checked checked;
  checked.subject = std::string(trimmed(message::singleLine(draft.subject)));
  checked.bodyFile = draft.bodyFile;
  if (!draft.bodyFile.empty()) {
    checked.text = DraftFile::read(draft.bodyFile).value_or("");
  } else {
    checked.text = draft.body;
  }
  const bool sending = options.target == DraftTarget::Unsent;
  if (sending && !hasText(checked.text) && checked.subject.empty()) {
    messages_.error(MessageNumber::NoMailText);
    return std::nullopt;
  }
  if (checked.bodyFile.empty()) {
    const auto made = DraftFile::create(DraftFile::patternOf(store_, settings_), checked.text);
    if (!made) {
      const std::string first = DraftFile::numberedName(DraftFile::patternOf(store_, settings_), 0);
      messages_.error(MessageNumber::DraftNotStored, {first});
      return std::nullopt;
    }
    checked.bodyFile = *made;
    checked.madeBodyFile = true;
  } else if (!DraftFile::canAppend(checked.bodyFile)) {
    messages_.error(MessageNumber::DraftNotStored, {checked.bodyFile});
    return std::nullopt;
  }
  // From here on a refusal leaves no body file of its own making behind.
  const auto refuse = [&checked]() -> std::optional<Checked> {
    if (checked.madeBodyFile) platform::removeFile(checked.bodyFile);
    return std::nullopt;
  };
  if (!draft.tray.empty()) checked.tray = store::TrayFile(store_, draft.tray).properties();
  if (sending) {
    if (message::AddressParser(settings_.aliases()).parseList(draft.to).empty()) {
      messages_.error(MessageNumber::NoRecipient);
      return refuse();
    }
    if (checked.subject.empty()) {
      if (!draft.firstLineAsSubject.value_or(settings_.flag(core::item::kFirstLineAsSubject))) {
        messages_.error(MessageNumber::NoSubject);
        return refuse();
      }
      checked.subject = firstLine(checked.text);
    }
    if (settings_.text(core::item::kSenderAddress).empty() && (!checked.tray || checked.tray->from.empty())) {
      messages_.error(MessageNumber::NoOwnAddress);
      return refuse();
    }
  }
  if (!checkAddresses(draft, checked.subject)) return refuse();
  if (sending && (!confirmRecipients(draft, checked) || !confirmCharacters(checked, options))) return refuse();
  return checked;
}

// The address lists hold no control character, and every attachment is a
// file the send will be able to open.
bool DraftWriter::checkAddresses(const Draft& draft, const std::string& subject) const {
  for (const std::string* list : {&draft.to, &draft.cc, &draft.bcc}) {
    for (const char c : *list) {
      if (!isControl(c)) continue;
      messages_.error(MessageNumber::BadAddress, {subject, visible(*list)});
      return false;
    }
  }
  for (const std::string& path : draft.attachments) {
    if (isAttachable(absolutePath(path))) continue;
    messages_.error(MessageNumber::AttachmentNotOpened, {visible(path)});
    return false;
  }
  return true;
}

// With item 509 on, every To address the tray's send group does not hold
// is a first mail to someone: the user confirms each one.
bool DraftWriter::confirmRecipients(const Draft& draft, const Checked& checked) const {
  if (!checked.tray || !settings_.flag(core::item::kWarnNewRecipient)) return true;
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings_, 0));
  for (const message::MailAddress& address : message::AddressParser(settings_.aliases()).parseList(draft.to)) {
    if (parser.findAddressInList(address.address, checked.tray->sendGroupTo)) continue;
    if (!messages_.question(MessageNumber::FirstTimeRecipient, {address.address, draft.tray})) return false;
  }
  return true;
}

bool DraftWriter::confirmCharacters(const Checked& checked, const StoreOptions& options) const {
  if (!options.confirmCharacters && !options.askAboutCharacters) return true;
  const auto findings = SendCharacterCheck::run(checked.subject, checked.text);
  if (options.confirmCharacters) return findings.empty() || options.confirmCharacters(findings);
  if (!SendCharacterCheck::needsConsent(findings)) return true;
  for (const CharacterFinding& first : findings) {
    if (first.kind == CharacterFinding::Kind::halfWidthKana) continue;
    return messages_.question(MessageNumber::CharactersNotArriving,
                              {static_cast<int>(findings.size()), first.line, first.character});
  }
  return true;
}

// The stored body: the text, the tray's signature (when sending and not
// turned off) and the attachment lines, normalised.
std::vector<std::string> DraftWriter::storedLines(const Draft& draft, const Checked& checked,
                                                  DraftTarget target) const {
  std::string text = checked.text;
  if (!text.empty() && text.back() != '\n') text += '\n';
  if (target == DraftTarget::Unsent && checked.tray && !draft.withoutSignature) {
    for (const std::string& line : Signatures(settings_, *checked.tray).ofTray(draft.to)) text += line + "\n";
  }
  std::vector<std::string> lines = message::DraftBody::normalise(
      text, settings_.flag(core::item::kHalfWidthKanaToFullWidth), settings_.number(core::item::kLineWrapWidth));
  for (const std::string& path : draft.attachments)
    lines.push_back(std::string(message::TagCommand::kMime) + "\"" + absolutePath(path) + "\"");
  return lines;
}

std::optional<std::uint32_t> DraftWriter::store(const Draft& draft, const StoreOptions& options,
                                                std::time_t now) const {
  auto checked = check(draft, options);
  if (!checked) return std::nullopt;
  const std::vector<std::string> lines = storedLines(draft, *checked, options.target);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  // The stored text goes through a file of its own: the draft's body file
  // stays as the user left it until the mail is safely in the tray.
  const auto stored = DraftFile::create(DraftFile::patternOf(store_, settings_), text);
  if (!stored) {
    messages_.error(MessageNumber::DraftNotStored, {checked->bodyFile});
    if (checked->madeBodyFile) platform::removeFile(checked->bodyFile);
    return std::nullopt;
  }

  const bool sending = options.target == DraftTarget::Unsent;
  message::MailRecord record = recordOf(draft, *checked, sending, now);
  if (namesFiles(lines)) record.flags |= message::mailflag::kAttachments;
  const store::TrayProperties* tray = checked->tray ? &*checked->tray : nullptr;
  message::ComposeSettings compose = message::ComposeSettings::fromSettings(settings_, now);
  if (tray && !tray->organization.empty()) compose.organization = tray->organization;
  if (tray && (tray->flags & store::trayflag::kOrganization) == 0) compose.organization.clear();
  const store::TrayFile target(store_, settings_.text(sending ? core::item::kUnsentTray : core::item::kDraftsTray));
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings_, now));
  const auto index = store::MailRecordIndex::appendComposed(target, record, *stored, compose, parser);
  platform::removeFile(*stored);
  if (!index) {
    messages_.error(MessageNumber::DraftNotStored, {checked->bodyFile});
    if (checked->madeBodyFile) platform::removeFile(checked->bodyFile);
    return std::nullopt;
  }
  platform::removeFile(checked->bodyFile);
  if (sending && isReply(draft.kind)) markReplied(draft.originals);
  return index;
}

// The header values of the stored mail: the subject behind its keyword,
// sender, Reply-To and split size as the tray gives them.
message::MailRecord DraftWriter::recordOf(const Draft& draft, const Checked& checked, bool sending,
                                          std::time_t now) const {
  const store::TrayProperties* tray = checked.tray ? &*checked.tray : nullptr;
  message::MailRecord record;
  record.date = now;
  const bool keyworded = !draft.keyword.empty() && !(tray && (tray->flags & store::trayflag::kNoSubjectKeyword));
  record.subject = keyworded ? "[" + draft.keyword + "]" + checked.subject : checked.subject;
  record.to = addressLines(draft.to);
  if (!sending && record.to.empty()) record.to = platform::sjisLiteral("(宛先なし)");
  record.cc = addressLines(draft.cc);
  record.bcc = addressLines(draft.bcc);
  record.replyTo = settings_.text(core::item::kReplyTo);
  if (tray) {
    if (!tray->from.empty()) record.from = tray->from;
    if (!tray->replyTo.empty()) record.replyTo = tray->replyTo;
    if ((tray->flags & store::trayflag::kReplyTo) == 0) record.replyTo.clear();
  }
  record.inReplyTo = message::singleLine(draft.inReplyTo);
  record.references = message::singleLine(draft.references);
  record.krdx = message::singleLine(draft.editMap);
  record.internalNumber = std::max<std::int32_t>(draft.splitKilobytes, 0);
  if (record.internalNumber == 0 && tray && (tray->flags & store::trayflag::kSplit) != 0)
    record.internalNumber = tray->splitSizeKb;
  return record;
}

void DraftWriter::markReplied(const std::vector<store::MailPlace>& originals) const {
  for (const store::MailPlace& place : originals) {
    const store::TrayFile tray(store_, place.tray);
    store::TrayRecord row;
    if (tray.read(place.index, row) != store::ReadResult::Live) continue;
    if (row.isLink()) {
      store::TrayFile(store_, row.linkTarget).changeFlags(row.linkIndex, store::recordflag::kReplied, true);
    } else {
      tray.changeFlags(place.index, store::recordflag::kReplied, true);
    }
  }
}

}  // namespace zorvik::compose
