#include "message/MailRecord.h"

namespace zorvik::message {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void MailRecord::reset() {
  MailRecord fresh;
  fresh.flags = flags & ~mailflag::kHeaderBits;
  fresh.textStart = textStart;
  fresh.textEnd = textEnd;
  fresh.bodyLineCount = bodyLineCount;
  fresh.headerLineCount = headerLineCount;
  fresh.date = date;
  fresh.linkIndex = linkIndex;
  fresh.linkTarget = std::move(linkTarget);
  *this = std::move(fresh);
}

bool MailRecord::sameMailAs(const MailRecord& other) const {
  return ownKey == other.ownKey && date == other.date && other.subject.starts_with(subject);
}

bool MailRecord::hasJapaneseDomain() const {
  for (std::size_t at = to.find('.'); at != std::string::npos; at = to.find('.', at + 1)) {
    if (at + 3 > to.size() || lower(to[at + 1]) != 'j' || lower(to[at + 2]) != 'p') continue;
    if (at + 3 == to.size()) return true;
    const auto next = static_cast<unsigned char>(to[at + 3]);
    if (next < '!' || next == '>') return true;
  }
  return false;
}

}  // namespace zorvik::message
