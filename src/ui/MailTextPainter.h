/// \file
/// Draws a laid-out mail: the header rows on their background with the
/// title column, the separator, and the body lines in their colours (quotes,
/// addresses, URLs, attachments with the file's icon), tabs at their stops,
/// the marked search hit and the selection. The text view paints through it
/// and so does printing, page by page, so paper shows what the screen does.
///
/// Only the lines that meet the band asked for are drawn. Coordinates are
/// the layout's dots; the caller translates and clips the painter.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>

#include <cstddef>
#include <optional>

#include "view/MailTextLayout.h"
#include "view/TextRuns.h"

class QPainter;

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::ui {

struct TextColours {
  QColor text, background, headerBackground, title, value, quote, address, url, attachment, linkTitle, linkTray,
      linkBackground, markedLine, titleColumn;

  /// Items 404-415, 424 and 431.
  static TextColours of(const core::ItemValues& settings);
};

/// A position in the body: a line and a byte offset in it.
struct TextPosition {
  std::size_t line = 0;
  std::size_t offset = 0;
  auto operator<=>(const TextPosition&) const = default;
};

/// Part of the body shown marked: a search hit or the selection.
struct TextSpan {
  TextPosition from;
  TextPosition to;  // exclusive
};

class MailTextPainter {
public:
  MailTextPainter(const view::MailTextContent& content, const view::MailTextLayout& layout, TextColours colours,
                  QFont font);

  /// The font of the settings (items 401-403), with a CJK fallback.
  static QFont fontOf(const core::ItemValues& settings);

  void setHit(std::optional<TextSpan> hit) { hit_ = hit; }
  void setSelection(std::optional<TextSpan> selection) { selection_ = selection; }

  /// Draws everything between heights `top` and `bottom`, `width` wide.
  void paint(QPainter& painter, int top, int bottom, int width) const;

  /// Where `x` falls in body line `line` (the nearest character edge).
  std::size_t offsetAt(std::size_t line, int x) const;
  /// The x of byte `offset` of body line `line`.
  int xOf(std::size_t line, std::size_t offset) const;

private:
  struct Piece {
    view::TextRun run;
    int x = 0;
    int width = 0;
  };
  std::vector<Piece> piecesOf(std::size_t line) const;
  void paintHeader(QPainter& painter, int width) const;
  void paintLine(QPainter& painter, std::size_t line, int width) const;
  void paintSpan(QPainter& painter, std::size_t line, const TextSpan& span, const QColor& colour) const;
  QColor colourOf(view::TextStyle style) const;

  const view::MailTextContent& content_;
  const view::MailTextLayout& layout_;
  TextColours colours_;
  QFont font_;
  QFont titleFont_;
  QFontMetrics metrics_;
  int tabWidth_;
  int iconSlot_;
  std::optional<TextSpan> hit_;
  std::optional<TextSpan> selection_;
};

}  // namespace zorvik::ui
