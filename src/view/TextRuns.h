/// \file
/// One body line cut into the pieces that are drawn alike: plain text (in
/// the body or the quote colour), each tag (in its kind's colour), and each
/// tab on its own (it moves the pen to the next tab stop). On a line whose
/// attachment icon is shown, the leading "@#" is drawn as two spaces.
#pragma once

#include <cstddef>
#include <vector>

#include "view/MailTextContent.h"

namespace zorvik::view {

enum class TextStyle { Body, Quote, MailAddress, Link, Attachment };

struct TextRun {
  std::size_t start = 0;
  std::size_t length = 0;
  TextStyle style = TextStyle::Body;
  bool tab = false;
  bool blank = false;  // drawn as spaces

  std::size_t end() const { return start + length; }
  bool operator==(const TextRun&) const = default;
};

class TextRuns {
public:
  static std::vector<TextRun> of(const BodyLine& line);
  static TextStyle styleOf(TagKind kind);
};

}  // namespace zorvik::view
