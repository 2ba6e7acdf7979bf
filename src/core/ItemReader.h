/// \file
/// Reads numbered items from a text file into item values.
///
/// An item line is "##" followed by the decimal id, a colon and a description
/// (ignored); the next line holds the value. Lines of two characters or less
/// and lines not starting with "##" are skipped. Items must come in table
/// order: the search for an id only runs forward from the previous item, so
/// an item after a later one is unknown. Unknown ids are reported and
/// skipped; the end row ("##9999") ends the read. Text value lines are
/// taken back as ItemValueLines wrote them (escaped lines unescaped).
#pragma once

#include <functional>
#include <string>

#include "core/ItemValues.h"
#include "platform/LineReader.h"

namespace zorvik::core {

enum class ItemReadResult {
  Error = 0,      // a value line was missing; the values read so far are kept
  Complete = 1,   // the end row was reached
  EndOfFile = 2,  // the file ended between items
};

/// What went wrong on one line (texts in Shift_JIS).
struct ItemReadProblem {
  int lineNumber = 0;
  std::string lineText;
  std::string reason;
};

class ItemReader {
public:
  using ProblemHandler = std::function<void(const ItemReadProblem&)>;

  ItemReader(platform::LineReader& lines, ProblemHandler onProblem);

  ItemReadResult read(ItemValues& values);

private:
  bool nextLine();
  ItemReadResult readMultiLine(ItemValues& values, std::size_t row);
  void report(const std::string& reason);

  platform::LineReader& lines_;
  ProblemHandler onProblem_;
  std::string line_;
  bool haveLine_ = false;  // line_ already holds the next line to look at
};

/// Reason texts reported by the reader (Shift_JIS).
const std::string& unknownIdReason();
const std::string& missingValueReason();
const std::string& unfinishedMultiLineReason();

}  // namespace zorvik::core
