#include "net/SmtpReplyReader.h"

namespace zorvik::net {

namespace {

// The decimal number at the start of `line`; 0 when there is none. At most
// nine digits are read, so a long run of digits cannot overflow.
int codeOf(std::string_view line) {
  int code = 0;
  for (std::size_t i = 0; i < line.size() && i < 9; ++i) {
    const char c = line[i];
    if (c < '0' || c > '9') break;
    code = code * 10 + (c - '0');
  }
  return code;
}

bool continues(std::string_view line) { return line.size() >= 4 && line[3] == '-'; }

}  // namespace

void SmtpReplyReader::feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (line_.size() < kLineLimit) line_.append(piece.substr(0, kLineLimit - line_.size()));
    if (end == std::string_view::npos) return;
    endLine();
    bytes.remove_prefix(end + 1);
  }
}

void SmtpReplyReader::endLine() {
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  if (text_.size() < kTextLimit) {
    if (!text_.empty()) text_ += '\n';
    text_.append(line_, 0, kTextLimit - text_.size());
  }
  if (!continues(line_)) {
    ready_.push_back({codeOf(line_), std::move(text_)});
    text_.clear();
  }
  line_.clear();
}

std::optional<SmtpReply> SmtpReplyReader::next() {
  if (ready_.empty()) return std::nullopt;
  SmtpReply reply = std::move(ready_.front());
  ready_.pop_front();
  return reply;
}

void SmtpReplyReader::reset() {
  line_.clear();
  text_.clear();
  ready_.clear();
}

}  // namespace zorvik::net
