#include "store/PartialJoiner.h"

#include <algorithm>
#include <charconv>
#include <new>

#include "message/FileByteSink.h"
#include "message/MailDate.h"
#include "message/MimeCaseless.h"
#include "message/MimeParameters.h"
#include "platform/FileSystem.h"
#include "store/MailOperations.h"
#include "store/PostOpen.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"
#include "store/WorkFileAppender.h"

namespace zorvik::store {

using core::MessageNumber;

namespace {

// The line that starts every mail in the work file.
constexpr std::string_view kWorkFileSeparator = "From  \r\n";

class StringSink : public message::ByteSink {
public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// The value of the first header line named `name` (with its colon), after
// the blanks that follow the name.
std::string headerValue(std::string_view header, std::string_view name) {
  while (!header.empty()) {
    const std::size_t end = header.find("\r\n");
    std::string_view line = header.substr(0, end);
    if (message::startsWithCaseless(line, name)) {
      line.remove_prefix(name.size());
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      return std::string(line);
    }
    if (end == std::string_view::npos) break;
    header.remove_prefix(end + 2);
  }
  return {};
}

std::optional<std::uint32_t> positiveNumber(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size() || value == 0) return std::nullopt;
  return value;
}

std::string belowTopCabinet(const StoreLocation& store, const std::string& path) {
  return platform::isFullPath(path) ? path : platform::joinPath(store.topCabinetPath(), path);
}

// Appends a stored line in the form a server sends it.
void appendWireLine(std::string& text, std::string_view line) {
  if (!line.empty() && line.front() == '.') text += '.';
  text += line;
  text += "\r\n";
}

}  // namespace

struct PartialJoiner::Fragment {
  std::uint32_t index = 0;
  std::uint32_t total = 0;
  std::uint32_t number = 0;
  std::string id;
  std::string header;  // the fragment's own header lines, CR LF between them
  bool used = false;
};

JoinSettings JoinSettings::fromSettings(const core::SettingsFile& settings, const StoreLocation& store,
                                       const std::string& tray) {
  JoinSettings join;
  join.newMailTray = tray.empty() ? settings.text(core::item::kNewMailTray) : tray;
  join.trashTray = settings.text(core::item::kTrashTray);
  // The text file of the work file, where a joined mail whose move failed
  // is found by the start-up recovery; the bare tray name is no file.
  join.workFilePath = workFileTextPath(settings);
  join.decoding = message::MimeDecoderSettings::fromSettings(settings);
  join.decoding.attachmentRoot = TrayAttachments::root(store, join.newMailTray);
  join.decoding.workDirectory = belowTopCabinet(store, settings.workingDirectories().workDirectory);
  join.zoneHours = settings.timeZoneOffsetHours();
  return join;
}

PartialJoiner::PartialJoiner(StoreLocation store, JoinSettings settings, const message::MailRecordParser& parser,
                             core::Messages& messages)
    : store_(std::move(store)), settings_(std::move(settings)), parser_(parser), messages_(messages) {}

std::vector<PartialJoiner::Fragment> PartialJoiner::fragments() const {
  std::vector<std::uint32_t> indices;
  if (auto reader = TrayReader::open(store_, settings_.newMailTray)) {
    TrayRecord stored;
    while (reader->nextMail(stored) != ReadResult::End) {
      if (!stored.isLink() && (stored.record.flags() & message::mailflag::kFragment) != 0)
        indices.push_back(stored.index);
    }
  }
  const TrayFile tray(store_, settings_.newMailTray);
  std::vector<Fragment> found;
  for (const std::uint32_t index : indices) {
    auto header = tray.headerLines(index);
    if (!header) continue;
    const message::MimeParameters parameters(headerValue(*header, "Content-Type:"));
    const auto total = positiveNumber(parameters.get("total"));
    const auto number = positiveNumber(parameters.get("number"));
    auto id = parameters.get("id");
    if (!total || !number || !id || *number > *total) continue;
    found.push_back(Fragment{index, *total, *number, std::move(*id), std::move(*header), false});
  }
  return found;
}

JoinResult PartialJoiner::join() const {
  JoinResult result;
  try {
    std::vector<Fragment> found = fragments();
    for (Fragment& first : found) {
      if (first.number != 1 || first.used) continue;
      std::vector<const Fragment*> set{&first};
      for (std::uint32_t number = 2; number <= first.total && set.size() + 1 == number; ++number) {
        for (const Fragment& other : found) {
          if (!other.used && other.number == number && other.id == first.id) {
            set.push_back(&other);
            break;
          }
        }
      }
      if (set.size() != first.total) continue;  // the rest has not arrived yet
      if (!joinSet(set, result)) continue;
      for (Fragment& other : found) {
        if (other.id == first.id && other.number <= first.total) other.used = true;
      }
    }
  } catch (const std::bad_alloc&) {
    messages_.error(MessageNumber::OutOfMemory);
  }
  return result;
}

bool PartialJoiner::joinSet(const std::vector<const Fragment*>& set, JoinResult& result) const {
  // A joined mail waiting in the work file is as good as stored: the
  // fragments must go all the same, or the next join would store it twice.
  if (storeJoined(joinedText(set), result) == Joined::Lost) return false;
  // Every fragment of the set goes, the later copies of one received twice too.
  std::vector<std::uint32_t> indices;
  for (const Fragment* fragment : set) indices.push_back(fragment->index);
  for (const Fragment& other : fragments()) {
    if (other.id == set.front()->id && other.number <= set.front()->total &&
        std::find(indices.begin(), indices.end(), other.index) == indices.end())
      indices.push_back(other.index);
  }
  const MailOperations operations(store_, settings_.trashTray, settings_.zoneHours);
  operations.remove(settings_.newMailTray, indices, false);
  return true;
}

std::string PartialJoiner::joinedText(const std::vector<const Fragment*>& set) const {
  const TrayFile tray(store_, settings_.newMailTray);
  const Fragment& first = *set.front();
  message::MailRecord record;
  parser_.reparse(record, first.header);

  std::string text;
  bool inHeader = true;
  bool hasFrom = false, hasTo = false, hasDate = false, hasSubject = false, hasId = false, hasReceived = false;
  auto body = tray.bodyReader(first.index);
  std::string line;
  while (body && body->next(line)) {
    if (inHeader && line.empty()) {
      inHeader = false;
      // What the enclosed header lacks comes from the first fragment's own.
      if (!hasFrom) appendWireLine(text, "From: " + headerValue(first.header, "From:"));
      if (!hasTo) appendWireLine(text, "To: " + headerValue(first.header, "To:"));
      if (!hasSubject) {
        std::string subject = record.subject;
        const std::string suffix = " [1/" + std::to_string(first.total) + "]";
        if (subject.ends_with(suffix)) subject.resize(subject.size() - suffix.size());
        appendWireLine(text, "Subject: " + subject);
      }
      if (!hasDate) appendWireLine(text, "Date: " + message::MailDate::format(record.date, settings_.zoneHours));
      if (!hasReceived) appendWireLine(text, "Received: (Partial mail)");
      if (!hasId) appendWireLine(text, "Message-ID: " + (first.id.starts_with("<") ? first.id : "<" + first.id + ">"));
    } else if (inHeader) {
      hasFrom = hasFrom || message::startsWithCaseless(line, "From:");
      hasTo = hasTo || message::startsWithCaseless(line, "To:");
      hasDate = hasDate || message::startsWithCaseless(line, "Date:");
      hasSubject = hasSubject || message::startsWithCaseless(line, "Subject:");
      hasId = hasId || message::startsWithCaseless(line, "Message-Id:");
      hasReceived = hasReceived || message::startsWithCaseless(line, "Received: ");
    }
    appendWireLine(text, line);
  }
  for (std::size_t i = 1; i < set.size(); ++i) {
    auto rest = tray.bodyReader(set[i]->index);
    while (rest && rest->next(line)) appendWireLine(text, line);
  }
  return text + ".\r\n";
}

PartialJoiner::Joined PartialJoiner::storeJoined(const std::string& wireText, JoinResult& result) const {
  message::MimeDecoder decoder(settings_.decoding, messages_);
  StringSink stored;
  bool written = decoder.decode(stored, wireText);
  if (written) {
    platform::makeDirectories(platform::directoryOf(settings_.workFilePath));
    message::FileByteSink work(settings_.workFilePath, message::FileByteSink::Mode::append);
    written = work.write(kWorkFileSeparator) && work.write(stored.text) && work.close();
  }
  if (!written) {
    decoder.savedFiles().deleteAll();
    messages_.error(MessageNumber::DiskFull);
    return Joined::Lost;
  }
  // From here the joined mail is safe in the work file; a failed move
  // leaves it there for the recovery at the next start.
  const auto moved = WorkFileAppender::append(settings_.workFilePath, TrayFile(store_, settings_.newMailTray), parser_);
  if (!moved || moved->appended == 0) {
    messages_.error(MessageNumber::DiskFull);
    return Joined::InWorkFile;
  }
  if (result.joined == 0) result.firstIndex = moved->firstIndex;
  result.joined += 1;
  return Joined::Stored;
}

}  // namespace zorvik::store
