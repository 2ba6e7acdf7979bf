#include "TerminalReporter.h"

#include "platform/TextEncoding.h"

namespace zorvik::cli {

bool TerminalReporter::show(core::MessageKind kind, const std::string& caption, const std::string& text) {
  err_ << platform::sjisToUtf8(caption) << '\n' << platform::sjisToUtf8(text) << '\n';
  if (kind != core::MessageKind::Question) return true;
  err_ << (answerYes_ ? "-> yes" : "-> no") << '\n';
  return answerYes_;
}

}  // namespace zorvik::cli
