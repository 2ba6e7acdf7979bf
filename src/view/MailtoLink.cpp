#include "view/MailtoLink.h"

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

namespace zorvik::view {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string decoded(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low < 0) {
      bytes += text[i];
      continue;
    }
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  std::string lines;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    lines += bytes[i] == '\r' ? '\n' : bytes[i];
  }
  return platform::utf8ToSjis(lines);
}

void addTo(std::string& list, std::string value) {
  if (value.empty()) return;
  list += list.empty() ? value : "," + value;
}

}  // namespace

MailtoLink MailtoLink::parse(std::string_view text) {
  if (core::startsWithIgnoringAsciiCase(text, "mailto:")) text.remove_prefix(7);
  MailtoLink link;
  const std::size_t question = text.find('?');
  addTo(link.to, decoded(text.substr(0, question)));
  if (question == std::string_view::npos) return link;
  std::string_view query = text.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view field = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
    const std::size_t equals = field.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = core::asciiLowerCase(field.substr(0, equals));
    std::string value = decoded(field.substr(equals + 1));
    if (name == "to") addTo(link.to, std::move(value));
    else if (name == "cc") addTo(link.cc, std::move(value));
    else if (name == "bcc") addTo(link.bcc, std::move(value));
    else if (name == "subject") link.subject = std::move(value);
    else if (name == "body") link.body = std::move(value);
  }
  return link;
}

}  // namespace zorvik::view
