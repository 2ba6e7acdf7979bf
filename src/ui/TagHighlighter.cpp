#include "ui/TagHighlighter.h"

#include "ui/QtText.h"
#include "view/TagScanner.h"

namespace zorvik::ui {

TagHighlighter::TagHighlighter(QTextDocument* document, QColor colour)
    : QSyntaxHighlighter(document), colour_(colour) {}

void TagHighlighter::highlightBlock(const QString& text) {
  // The scanner counts Shift_JIS bytes; the block counts UTF-16 units.
  const std::string line = toSjis(text);
  for (const view::Tag& tag : view::TagScanner::scan(line)) {
    const auto start = static_cast<int>(fromSjis(std::string_view(line).substr(0, tag.start)).size());
    const auto length = static_cast<int>(fromSjis(std::string_view(line).substr(tag.start, tag.length)).size());
    setFormat(start, length, colour_);
  }
}

}  // namespace zorvik::ui
