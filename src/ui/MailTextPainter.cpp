#include "ui/MailTextPainter.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

#include "core/ItemValues.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "ui/QtText.h"

namespace zorvik::ui {
namespace {

namespace item = core::item;

QColor hitColour() { return QColor(255, 160, 0); }
QColor selectionColour() { return QColor(160, 200, 255); }

}  // namespace

TextColours TextColours::of(const core::ItemValues& settings) {
  const auto colour = [&](int id) { return fromColorRef(settings.number(id)); };
  return {colour(item::kTextColour),           colour(item::kTextBackgroundColour),
          colour(item::kTextHeaderBackgroundColour), colour(item::kTextHeaderTitleColour),
          colour(item::kTextHeaderValueColour), colour(item::kTextQuoteColour),
          colour(item::kTextAddressColour),    colour(item::kTextUrlColour),
          colour(item::kTextAttachmentColour), colour(item::kTextLinkTitleColour),
          colour(item::kTextLinkTrayColour),   colour(item::kTextLinkBackgroundColour),
          colour(item::kTextMarkedLineColour), colour(item::kTextTitleColumnColour)};
}

QFont MailTextPainter::fontOf(const core::ItemValues& settings) {
  QFont font;
  // The settings name a Windows font; a Linux desktop has the Noto CJK
  // fonts instead, tried next.
  font.setFamilies({fromSjis(settings.text(item::kTextFontName)), "Noto Sans Mono CJK JP", "Noto Sans CJK JP",
                    "monospace"});
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(std::max(8, settings.number(item::kTextFontSize)));
  font.setWeight(settings.number(item::kTextFontWeight) >= 600 ? QFont::Bold : QFont::Normal);
  return font;
}

MailTextPainter::MailTextPainter(const view::MailTextContent& content, const view::MailTextLayout& layout,
                                 TextColours colours, QFont font)
    : content_(content),
      layout_(layout),
      colours_(std::move(colours)),
      font_(std::move(font)),
      titleFont_(font_),
      metrics_(font_),
      tabWidth_(std::max(1, metrics_.averageCharWidth() * layout.metrics().tabCharacters)),
      iconSlot_(std::max(metrics_.horizontalAdvance("  "), std::min(16, layout.metrics().iconHeight) + 2)) {
  titleFont_.setBold(true);
}

std::vector<MailTextPainter::Piece> MailTextPainter::piecesOf(std::size_t line) const {
  const view::BodyLine& body = content_.lines()[line];
  const int left = layout_.metrics().leftMargin;
  std::vector<Piece> pieces;
  int x = left;
  for (const view::TextRun& run : view::TextRuns::of(body)) {
    int width = 0;
    if (run.tab)
      width = left + ((x - left) / tabWidth_ + 1) * tabWidth_ - x;
    else if (run.blank)
      width = iconSlot_;
    else
      width = metrics_.horizontalAdvance(fromSjis(std::string_view(body.text).substr(run.start, run.length)));
    pieces.push_back({run, x, width});
    x += width;
  }
  return pieces;
}

int MailTextPainter::xOf(std::size_t line, std::size_t offset) const {
  const view::BodyLine& body = content_.lines()[line];
  int x = layout_.metrics().leftMargin;
  for (const Piece& piece : piecesOf(line)) {
    if (offset < piece.run.start + piece.run.length) {
      if (piece.run.tab || piece.run.blank || offset <= piece.run.start) return piece.x;
      return piece.x + metrics_.horizontalAdvance(
                           fromSjis(std::string_view(body.text).substr(piece.run.start, offset - piece.run.start)));
    }
    x = piece.x + piece.width;
  }
  return x;
}

std::size_t MailTextPainter::offsetAt(std::size_t line, int x) const {
  const view::BodyLine& body = content_.lines()[line];
  for (const Piece& piece : piecesOf(line)) {
    if (x >= piece.x + piece.width) continue;
    if (piece.run.tab || piece.run.blank) return x - piece.x < piece.width / 2 ? piece.run.start : piece.run.end();
    // Walk the characters of the piece to the nearest edge.
    std::size_t at = piece.run.start;
    int edge = piece.x;
    while (at < piece.run.start + piece.run.length) {
      const std::size_t width = core::sjisCharLength(body.text, at);
      const int next = piece.x + metrics_.horizontalAdvance(
                                     fromSjis(std::string_view(body.text).substr(piece.run.start, at + width - piece.run.start)));
      if (x < (edge + next) / 2) return at;
      at += width;
      edge = next;
    }
    return at;
  }
  return body.text.size();
}

QColor MailTextPainter::colourOf(view::TextStyle style) const {
  switch (style) {
    case view::TextStyle::Quote: return colours_.quote;
    case view::TextStyle::MailAddress: return colours_.address;
    case view::TextStyle::Link: return colours_.url;
    case view::TextStyle::Attachment: return colours_.attachment;
    case view::TextStyle::Body: break;
  }
  return colours_.text;
}

void MailTextPainter::paint(QPainter& painter, int top, int bottom, int width) const {
  painter.save();
  painter.fillRect(QRect(0, top, width, bottom - top), colours_.background);
  painter.setFont(font_);
  if (content_.hasHeader() && top < layout_.separatorTop() + layout_.metrics().separatorWidth) paintHeader(painter, width);
  for (std::size_t line = layout_.firstLineBelow(top); line < layout_.lineCount() && layout_.lineTop(line) < bottom; ++line)
    paintLine(painter, line, width);
  painter.restore();
}

void MailTextPainter::paintHeader(QPainter& painter, int width) const {
  const view::TextMetrics& metrics = layout_.metrics();
  const QFontMetrics titleMetrics(titleFont_);
  const int titleWidth = titleMetrics.horizontalAdvance(QString::fromUtf8("ＡＡ"));
  const int valueX = metrics.leftMargin + titleWidth + metrics_.horizontalAdvance(" : ");
  painter.fillRect(QRect(0, 0, width, layout_.separatorTop()), colours_.headerBackground);
  for (std::size_t row = 0; row < content_.rows().size(); ++row) {
    const view::HeaderRow& header = content_.rows()[row];
    const bool link = header.kind == view::HeaderRow::Kind::Link;
    const QRect band(0, layout_.rowTop(row), width, layout_.rowHeight());
    if (link) painter.fillRect(band, colours_.linkBackground);
    painter.fillRect(QRect(metrics.leftMargin, band.top(), titleWidth, band.height()), colours_.titleColumn);
    const int baseline = band.top() + metrics_.ascent();
    painter.setFont(titleFont_);
    painter.setPen(link ? colours_.linkTitle : colours_.title);
    painter.drawText(metrics.leftMargin, baseline, fromSjis(header.title));
    painter.setFont(font_);
    painter.drawText(metrics.leftMargin + titleWidth, baseline, " : ");
    painter.setPen(link ? colours_.linkTray : colours_.value);
    painter.drawText(valueX, baseline, fromSjis(header.value));
  }
  painter.fillRect(QRect(0, layout_.separatorTop(), width, metrics.separatorWidth), colours_.value);
}

void MailTextPainter::paintSpan(QPainter& painter, std::size_t line, const TextSpan& span, const QColor& colour) const {
  if (line < span.from.line || line > span.to.line) return;
  const std::size_t size = content_.lines()[line].text.size();
  const std::size_t from = line == span.from.line ? span.from.offset : 0;
  const std::size_t to = line == span.to.line ? span.to.offset : size;
  const int left = xOf(line, from);
  // A selection going on to the next line shows a little of the line end.
  const int right = line == span.to.line ? xOf(line, to) : xOf(line, size) + metrics_.averageCharWidth();
  if (right > left) painter.fillRect(QRect(left, layout_.lineTop(line), right - left, layout_.lineHeight(line)), colour);
}

void MailTextPainter::paintLine(QPainter& painter, std::size_t line, int width) const {
  const view::BodyLine& body = content_.lines()[line];
  const int top = layout_.lineTop(line);
  const int textHeight = layout_.lineHeight(line) - layout_.metrics().lineSpacing;
  if (hit_ && hit_->from.line == line) {
    painter.fillRect(QRect(0, top, width, layout_.lineHeight(line)), colours_.markedLine);
    paintSpan(painter, line, *hit_, hitColour());
  }
  if (selection_) paintSpan(painter, line, *selection_, selectionColour());
  const int baseline = top + (textHeight - metrics_.height()) / 2 + metrics_.ascent();
  for (const Piece& piece : piecesOf(line)) {
    if (piece.run.tab) continue;
    if (piece.run.blank) {
      const int size = std::min(16, textHeight);
      const QIcon icon = QFileIconProvider().icon(QFileInfo(fromSjis(body.file)));
      icon.paint(&painter, QRect(piece.x, top + (textHeight - size) / 2, size, size));
      continue;
    }
    painter.setPen(colourOf(piece.run.style));
    const QString text = fromSjis(std::string_view(body.text).substr(piece.run.start, piece.run.length));
    painter.drawText(piece.x, baseline, text);
    if (piece.run.style != view::TextStyle::Body && piece.run.style != view::TextStyle::Quote)
      painter.drawLine(piece.x, baseline + 2, piece.x + piece.width, baseline + 2);
  }
}

}  // namespace zorvik::ui
