/// \file
/// How a laid-out mail is cut into printed pages, in the text view's dots:
/// a page is as wide as the printed line (font size × characters per line)
/// plus the left and right margins, and √2 as high (width × 14142 / 10000,
/// the A paper ratio, so changing the characters per line scales the page
/// and keeps its shape). Each page shows the usable height (page height
/// less the top and bottom margins) of the mail; above it the page header
/// "Zorvik:<subject>" and a grey rule, below it a grey rule and
/// "Page n/m" at the right.
///
/// On the printer the page is mapped isotropically into the printable area,
/// which keeps at least 100 device units from each edge of the sheet.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::view {

struct DeviceRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const DeviceRect&) const = default;
};

struct Band {
  int top = 0;
  int bottom = 0;  // exclusive
  bool operator==(const Band&) const = default;
};

class PrintPages {
public:
  /// The print settings (items 402, 421, 425-428); a zero or negative
  /// characters per line or font size counts as 1.
  explicit PrintPages(const core::ItemValues& settings);
  PrintPages(int fontSize, int lineCharacters, int top, int bottom, int left, int right);

  int fontSize() const { return fontSize_; }
  int textWidth() const { return fontSize_ * lineCharacters_; }
  int pageWidth() const { return textWidth() + left_ + right_; }
  int pageHeight() const { return static_cast<int>(static_cast<long long>(pageWidth()) * 14142 / 10000); }
  /// The mail's height shown on each page (at least one dot).
  int usableHeight() const;
  int topMargin() const { return top_; }
  int leftMargin() const { return left_; }

  /// The pages a mail of `contentHeight` dots takes (at least one).
  int pageCount(int contentHeight) const;
  /// The slice of the mail on page `page` (from 1).
  int contentTop(int page) const { return (page - 1) * usableHeight(); }

  /// The page header, "Zorvik:" and `subject` (Shift_JIS), cut to
  /// 2 × characters per line − 4 bytes (at least 20) without splitting a
  /// double-byte character.
  std::string headerText(std::string_view subject) const;
  /// "Page n/m".
  static std::string footerText(int page, int pages);

  /// Baseline of the header text, and the rules above and below the
  /// content, in page coordinates (the content starts at the top margin).
  int headerBaseline() const { return top_ - 20; }
  Band headerRule() const { return {top_ - 10, top_ - 5}; }
  Band footerRule() const { return {top_ + usableHeight() + 10, top_ + usableHeight() + 13}; }
  int footerBaseline() const { return top_ + usableHeight() + 18 + fontSize_; }

  /// Where a page goes on a sheet of `sheetWidth` × `sheetHeight` device
  /// units whose printer cannot print `offsetX`/`offsetY` units from the
  /// edges: the printable area, then the page scaled into it with its
  /// shape kept, at the area's top left.
  static DeviceRect printableArea(int sheetWidth, int sheetHeight, int offsetX, int offsetY);
  DeviceRect pageOnSheet(const DeviceRect& printable) const;

private:
  int fontSize_;
  int lineCharacters_;
  int top_;
  int bottom_;
  int left_;
  int right_;
};

}  // namespace zorvik::view
