#include "compose/UnsentMailComposer.h"

#include "message/TagCommand.h"

namespace zorvik::compose {
namespace {

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return lines;
}

bool namesFiles(const std::vector<std::string>& body) {
  for (const std::string& line : body) {
    const auto kind = message::TagCommand::parse(line).kind;
    if (kind == message::TagCommand::Kind::mime || kind == message::TagCommand::Kind::uuencode) return true;
  }
  return false;
}

}  // namespace

std::optional<message::MailLines> UnsentMailComposer::readMail(std::uint32_t index) const {
  const auto header = tray_.headerLines(index);
  if (!header) return std::nullopt;
  auto body = tray_.bodyReader(index);
  if (!body) return std::nullopt;
  message::MailLines mail;
  mail.separator = "From ";
  mail.header = splitLines(*header);
  std::string line;
  while (body->next(line)) mail.body.push_back(line);
  return mail;
}

std::optional<message::ComposedMail> UnsentMailComposer::compose(std::uint32_t index,
                                                                 const message::ComposeOptions& options,
                                                                 std::string_view headerPath,
                                                                 std::string_view bodyPath) const {
  const auto mail = readMail(index);
  if (!mail) return std::nullopt;
  message::MimeComposer composer(options, messages_);
  if (!composer.composeFiles(*mail, headerPath, bodyPath)) return std::nullopt;

  std::string header;
  for (const std::string& line : mail->header) header += line + "\r\n";
  message::MailRecord record;
  parser_.reparse(record, header);
  auto composed = message::ComposedMail::fromRecord(record, parser_.context().aliases);
  composed.headerPath = std::string(headerPath);
  composed.bodyPath = std::string(bodyPath);
  composed.hasAttachments = namesFiles(mail->body);
  return composed;
}

}  // namespace zorvik::compose
