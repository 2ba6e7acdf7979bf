#include "import/WireMail.h"

#include "core/TextLines.h"
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
  core::TextLines lines(text);
  for (std::string_view line; lines.next(line);) mail.addLine(line);
  return mail.take();
}

}  // namespace zorvik::import
