#include "TerminalReporter.h"

#include "platform/TextEncoding.h"

namespace zorvik::cli {

bool TerminalReporter::show(core::MessageKind kind, const std::string& caption, const std::string& text) {
  err_ << platform::sjisToUtf8(caption) << '\n' << platform::sjisToUtf8(text) << '\n';
  const bool answer = unattended_(kind, caption, answerYes_);
  if (kind != core::MessageKind::Question) return true;
  err_ << (answer ? "-> yes" : "-> no") << '\n';
  return answer;
}

}  // namespace zorvik::cli
