#include "compose/BodyQuoter.h"

#include <algorithm>

#include "core/SjisText.h"
#include "message/AttachmentFolder.h"
#include "message/DraftBody.h"
#include "message/TagCommand.h"

namespace zorvik::compose {
namespace {

// The signature without the empty lines around it: an empty line matches
// the start of every line, so it would let the match cut ordinary text.
std::vector<std::string> trimmedSignature(std::vector<std::string> lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  const auto first = std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return !line.empty(); });
  lines.erase(lines.begin(), first);
  return lines;
}

// Appends `prefix` and `text` as one stored line: with ">" in front when
// together they would begin like a mail separator or a tag line.
void appendStoredLine(std::string_view prefix, std::string_view text, std::string& out) {
  if (message::DraftBody::needsQuoteMark(prefix, text)) out += '>';
  out += prefix;
  out += text;
  out += '\n';
}

}  // namespace

BodyQuoter::BodyQuoter(std::string prefix, int lineWidth, std::vector<std::string> signature)
    : prefix_(std::move(prefix)),
      lineWidth_(lineWidth > 0 ? static_cast<std::size_t>(lineWidth) : 0),
      signature_(trimmedSignature(std::move(signature))) {}

void BodyQuoter::quote(const SourceMail& source, std::string& out) const {
  quote(source, 0, source.body.size(), out);
}

void BodyQuoter::quote(const SourceMail& source, std::size_t first, std::size_t count, std::string& out) const {
  const std::size_t end = std::min(source.body.size(), first + std::min(count, source.body.size()));
  first = std::min(first, end);
  // The signature is looked for among the last 2 x S lines: a line that
  // begins with the next expected signature line advances the match, any
  // other starts it afresh; a complete match cuts the quote back to where
  // the signature's first line began.
  const std::size_t size = signature_.size();
  const std::size_t window = end - first > 2 * size ? end - 2 * size : first;
  std::size_t matched = 0;
  std::size_t cutAt = out.size();
  for (std::size_t i = first; i < end; ++i) {
    const std::string& line = source.body[i];
    if (size > 0 && i >= window) {
      if (!line.starts_with(signature_[matched])) matched = 0;
      if (line.starts_with(signature_[matched])) {
        if (matched == 0) cutAt = out.size();
        ++matched;
      }
    }
    quoteLine(source, line, out);
    if (size > 0 && matched == size) {
      out.resize(cutAt);
      matched = 0;
    }
  }
}

void BodyQuoter::quoteLine(const SourceMail& source, const std::string& line, std::string& out) const {
  if (const auto command = commandLine(source, line)) {
    out += *command + "\n";
    return;
  }
  if (line.empty()) {
    out += "\n";
    return;
  }
  // Text that would read as a tag command keeps a quote mark in any case.
  if (line.starts_with("@#")) {
    quoteText(line, prefix_.empty() ? std::string_view(">") : std::string_view(prefix_), out);
    return;
  }
  const std::size_t mark = quoteMarkLength(line);
  if (lineWidth_ == 0) {
    const bool prefixed = mark == 0 || (prefix_.size() == 1 && mark <= 1);
    quoteText(line, prefixed ? std::string_view(prefix_) : std::string_view(), out);
    return;
  }
  // A line quoted before keeps its own mark in front of every piece, unless
  // a one-character prefix simply adds one more level (">" before "> ").
  const std::size_t limit = prefix_.size() >= 2 ? 0 : 1;
  if (mark > limit) {
    quoteText(std::string_view(line).substr(mark), std::string_view(line).substr(0, mark), out);
    return;
  }
  quoteText(line, prefix_, out);
}

void BodyQuoter::quoteText(std::string_view text, std::string_view prefix, std::string& out) const {
  if (lineWidth_ == 0) {
    appendStoredLine(prefix, text, out);
    return;
  }
  const std::size_t room = lineWidth_ > prefix.size() ? lineWidth_ - prefix.size() : 1;
  for (const std::string_view piece : core::breakSjis(text, room)) appendStoredLine(prefix, piece, out);
}

std::size_t BodyQuoter::quoteMarkLength(std::string_view line) {
  const std::size_t end = std::min(line.size(), kQuoteMarkLimit);
  for (std::size_t at = 0; at < end; at += core::sjisCharLength(line, at)) {
    if (line[at] == '<') return 0;
    if (line[at] != '>') continue;
    if (at > 0 && (line[at - 1] == '-' || line[at - 1] == '=')) continue;
    return at + 1;
  }
  return 0;
}

std::optional<std::string> BodyQuoter::commandLine(const SourceMail& source, const std::string& line) const {
  if (!line.starts_with("@#")) return std::nullopt;
  const message::TagCommand command = message::TagCommand::parse(line);
  if (command.kind == message::TagCommand::Kind::mime && command.path.starts_with("%:")) {
    const auto file = message::AttachmentFolder::resolve(command.path, source.attachmentRoot,
                                                         source.record.attachmentFolder, source.record.messageId);
    if (!file) return std::nullopt;
    return std::string(message::TagCommand::kMime) + "\"" + *file + "\"";
  }
  if (!source.writtenByUser()) return std::nullopt;
  return line;
}

}  // namespace zorvik::compose
