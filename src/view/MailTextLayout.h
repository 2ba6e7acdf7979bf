/// \file
/// Where each part of a mail goes in the text view, in dots, once the line
/// height of the font is known: the header rows from the top margin, each
/// a line plus the line spacing high; the separator after a gap; the body
/// lines below it, unwrapped (the view is as wide as its width setting),
/// a line with an attachment icon as high as the icon setting asks. Printing
/// cuts the same layout into pages, so both draw the same picture.
///
/// Finding the lines within a band of height is a binary search: a mail of
/// 100,000 lines paints only the lines it shows.
#pragma once

#include <cstddef>
#include <vector>

#include "view/MailTextContent.h"

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::view {

struct TextMetrics {
  int lineHeight = 16;      // of the view's font
  int lineSpacing = 2;      // item 418
  int leftMargin = 5;       // item 416
  int topMargin = 5;        // item 417
  int iconHeight = 20;      // item 420
  int separatorWidth = 5;   // item 422
  int separatorGap = 6;     // item 423
  int viewWidth = 1000;     // item 419
  int tabCharacters = 4;    // item 430

  /// The settings' values with the font's line height.
  static TextMetrics of(const core::ItemValues& settings, int lineHeight);
};

class MailTextLayout {
public:
  MailTextLayout(const MailTextContent& content, const TextMetrics& metrics);

  const TextMetrics& metrics() const { return metrics_; }
  /// Top of header row `row`; every row is rowHeight() high.
  int rowTop(std::size_t row) const { return metrics_.topMargin + static_cast<int>(row) * rowHeight(); }
  int rowHeight() const { return metrics_.lineHeight + metrics_.lineSpacing; }
  /// The separator's top edge (it is separatorWidth thick); meaningless
  /// without a header.
  int separatorTop() const { return separatorTop_; }
  std::size_t lineCount() const { return tops_.size() - 1; }
  int lineTop(std::size_t line) const { return tops_[line]; }
  int lineHeight(std::size_t line) const { return tops_[line + 1] - tops_[line]; }
  /// The first body line that reaches below `y` (lineCount() when none).
  std::size_t firstLineBelow(int y) const;
  /// The body line at height `y`, if any.
  std::optional<std::size_t> lineAt(int y) const;
  /// The whole height, the bottom margin included, and the width.
  int height() const { return height_; }
  int width() const { return metrics_.viewWidth; }

private:
  TextMetrics metrics_;
  int separatorTop_ = 0;
  std::vector<int> tops_;  // one per body line, and the end of the last
  int height_ = 0;
};

}  // namespace zorvik::view
