#include "message/HeaderReader.h"

#include "message/EncodedWordDecoder.h"
#include "message/HeaderBlanks.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kSeparator = "From ";
constexpr std::string_view kTagStart = "@#";

bool isSeparator(std::string_view line) { return line.starts_with(kSeparator); }
bool isContinuation(std::string_view line) { return !line.empty() && isHeaderBlank(line[0]); }
bool endsHeader(std::string_view line) { return line.empty() || line[0] == '\r'; }

}  // namespace

std::string HeaderReader::decodeLine(std::string_view line) {
  std::string decoded = EncodedWordDecoder::decode(line);
  for (char& c : decoded) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  // Only lines written as tag commands are tag commands: one that decoding
  // made (an encoded word, an escape sequence in front of "@#") is quoted
  // as the decoder quotes received ones.
  if (decoded.starts_with(kTagStart) && !line.starts_with(kTagStart)) decoded.insert(0, 1, '>');
  return decoded;
}

bool HeaderReader::nextLine(std::string& line) {
  if (hasPending_) {
    hasPending_ = false;
    line = std::move(pending_);
    return true;
  }
  return input_.next(line);
}

void HeaderReader::putBack(std::string line) {
  pending_ = std::move(line);
  hasPending_ = true;
}

bool HeaderReader::readHeader(MailRecord& record, MailLines& out, std::string_view identity) {
  out = MailLines{};
  std::string line;
  do {
    if (!nextLine(line)) return false;
  } while (!isSeparator(line) || line.starts_with(kDeletionMarker));
  out.separator = decodeLine(line);

  // Every mail of the text starts from nothing: no bit or value of the
  // previous mail may leak into it. A mail without a Date line is dated when
  // it is read.
  record = MailRecord{};
  record.date = parser_.context().now;
  // The header line being unfolded; stored and parsed once the next physical
  // line shows that it does not continue.
  std::string current;
  const auto finishLine = [&] {
    if (current.empty()) return;
    std::string decoded = decodeLine(current);
    current.clear();
    // A line that decodes to nothing would read back as the header's end.
    if (decoded.empty() || endsHeader(decoded)) return;
    parser_.parseLine(record, decoded);
    out.header.push_back(std::move(decoded));
  };
  while (nextLine(line)) {
    if (isContinuation(line) && !current.empty()) {
      // Unfolding takes out the line break only: the blank stays, so words
      // on either side of the fold stay apart (and the decoder drops the
      // blank between two encoded words).
      current += line;
      continue;
    }
    finishLine();
    if (endsHeader(line)) break;
    if (isSeparator(line)) {
      // A mail without an empty line: the next mail starts here.
      putBack(std::move(line));
      break;
    }
    current = std::move(line);
  }
  finishLine();
  record.headerLineCount = static_cast<std::uint32_t>(out.header.size());
  parser_.postProcess(record, identity);
  return true;
}

void HeaderReader::copyBody(MailRecord& record, MailLines& out) {
  out.body.clear();
  std::string line;
  while (nextLine(line)) {
    if (isSeparator(line)) {
      putBack(std::move(line));
      break;
    }
    std::string decoded = decodeLine(line);
    if (isSeparator(decoded)) decoded.insert(0, 1, '>');
    out.body.push_back(std::move(decoded));
  }
  record.bodyLineCount = static_cast<std::uint32_t>(out.body.size());
}

}  // namespace zorvik::message
