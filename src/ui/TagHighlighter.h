/// \file
/// Draws the tags of the compose editor's text in the tag colour (settings
/// item 524): the spans view::TagScanner finds, as the text view does, so
/// mail addresses, web addresses, network paths and tag-command lines
/// ("@#MIME ...", "@#INCLUDE ...") stand out while they are typed. Only the
/// drawing changes: the text and its locked marks stay as they are.
#pragma once

#include <QColor>
#include <QSyntaxHighlighter>

namespace zorvik::ui {

class TagHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

public:
  TagHighlighter(QTextDocument* document, QColor colour);

protected:
  void highlightBlock(const QString& text) override;

private:
  QColor colour_;
};

}  // namespace zorvik::ui
