/// \file
/// Shows numbered messages on a terminal: the caption and the text on stderr
/// in UTF-8; questions are answered by the --yes / --no choice.
#pragma once

#include <ostream>

#include "core/Reporter.h"

namespace zorvik::cli {

class TerminalReporter : public core::Reporter {
public:
  TerminalReporter(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

  bool show(core::MessageKind kind, const std::string& caption, const std::string& text) override;

private:
  std::ostream& err_;
  bool answerYes_;
};

}  // namespace zorvik::cli
