/// \file
/// Shows numbered messages on a terminal: the caption and the text on stderr
/// in UTF-8; questions are answered by the --yes / --no choice (a full
/// disk is not continued twice in a row).
#pragma once

#include <ostream>

#include "core/Reporter.h"
#include "core/UnattendedAnswer.h"

namespace zorvik::cli {

class TerminalReporter : public core::Reporter {
public:
  TerminalReporter(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

  bool show(core::MessageKind kind, const std::string& caption, const std::string& text) override;

private:
  std::ostream& err_;
  bool answerYes_;
  core::UnattendedAnswer unattended_;
};

}  // namespace zorvik::cli
