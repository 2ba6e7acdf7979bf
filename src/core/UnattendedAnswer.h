/// \file
/// How a front end answers a question nobody is there to see (zorvik-cli's
/// --yes/--no, the desktop's ZORVIK_ANSWER): with the preset answer, except
/// that the full-disk question (44101) gets "continue" only once in a row.
/// Nobody frees space in between, so continuing again would only ask again
/// for ever; the second time the work ends instead. Any other message in
/// between starts afresh.
#pragma once

#include <string_view>

#include "core/Reporter.h"

namespace zorvik::core {

class UnattendedAnswer {
public:
  /// The answer to the message of `caption`: `preset` for a question
  /// (apart from the rule above), false for anything else. Every message
  /// shown goes through here, so that one in between starts afresh.
  bool operator()(MessageKind kind, std::string_view caption, bool preset);

  /// The number R a caption names ("Zorvik:エラー  No.804" is 40804); 0 for a
  /// caption without one.
  static int numberOf(std::string_view caption);

private:
  bool lastWasContinue_ = false;
};

}  // namespace zorvik::core
