#include "import/WireMail.h"

namespace zorvik::import {

void WireMail::addLine(std::string_view line) {
  if (line.starts_with('.')) wire_ += '.';
  wire_.append(line);
  wire_ += "\r\n";
  if (!line.empty()) textEnd_ = wire_.size();
}

std::string WireMail::take() {
  wire_.resize(textEnd_);
  wire_ += ".\r\n";
  textEnd_ = 0;
  std::string mail;
  mail.swap(wire_);
  return mail;
}

std::string WireMail::of(std::string_view text) {
  WireMail mail;
  mail.wire_.reserve(text.size() + text.size() / 32 + 8);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t lf = text.find('\n', at);
    const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    std::string_view line = text.substr(at, end - at);
    if (line.ends_with('\r')) line.remove_suffix(1);
    mail.addLine(line);
    at = end + 1;
  }
  return mail.take();
}

}  // namespace zorvik::import
