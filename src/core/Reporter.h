/// \file
/// Where numbered messages are shown: a message box in the desktop client, the
/// terminal in zorvik-cli, a recorder in the tests.
#pragma once

#include <string>

namespace zorvik::core {

enum class MessageKind {
  Error = 0,
  Information = 1,
  Question = 2,
  Fatal = 3,
  Bug = 4,
};

class Reporter {
public:
  virtual ~Reporter() = default;
  /// Shows one box with its caption and text (both Shift_JIS). For a question
  /// the result is the answer (true = yes); for other kinds it is ignored.
  /// Called only on the thread that owns the reporter.
  virtual bool show(MessageKind kind, const std::string& caption, const std::string& text) = 0;
};

}  // namespace zorvik::core
