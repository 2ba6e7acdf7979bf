#include "view/PrintPages.h"

#include <algorithm>
#include <cstdio>

#include "core/ItemValues.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"

namespace zorvik::view {
PrintPages::PrintPages(const core::ItemValues& settings)
    : PrintPages(settings.number(core::item::kTextFontSize), settings.number(core::item::kPrintLineCharacters),
                 settings.number(core::item::kPrintTopMargin), settings.number(core::item::kPrintBottomMargin),
                 settings.number(core::item::kPrintLeftMargin), settings.number(core::item::kPrintRightMargin)) {}

PrintPages::PrintPages(int fontSize, int lineCharacters, int top, int bottom, int left, int right)
    : fontSize_(std::max(1, fontSize)),
      lineCharacters_(std::max(1, lineCharacters)),
      top_(std::max(0, top)),
      bottom_(std::max(0, bottom)),
      left_(std::max(0, left)),
      right_(std::max(0, right)) {}

int PrintPages::usableHeight() const { return std::max(1, pageHeight() - top_ - bottom_); }

int PrintPages::pageCount(int contentHeight) const {
  const int usable = usableHeight();
  // A last page holding fewer than ten dots (the bottom margin of the
  // view) is not started.
  return std::max(1, (contentHeight + usable - 10) / usable);
}

std::string PrintPages::headerText(std::string_view subject) const {
  const std::size_t limit = static_cast<std::size_t>(std::max(20, 2 * lineCharacters_ - 4));
  const std::string text = "Zorvik:" + std::string(subject);
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t width = core::sjisCharLength(text, end);
    if (end + width > limit) break;
    end += width;
  }
  return text.substr(0, std::min(end, text.size()));
}

std::string PrintPages::footerText(int page, int pages) {
  char text[48];
  std::snprintf(text, sizeof text, "Page %d/%d", page, pages);
  return text;
}

DeviceRect PrintPages::printableArea(int sheetWidth, int sheetHeight, int offsetX, int offsetY) {
  const int x = std::max(100, offsetX);
  const int y = std::max(100, offsetY);
  return {x, y, std::max(1, sheetWidth - 2 * x), std::max(1, sheetHeight - 2 * y)};
}

DeviceRect PrintPages::pageOnSheet(const DeviceRect& printable) const {
  const double scale = std::min(static_cast<double>(printable.width) / pageWidth(),
                                static_cast<double>(printable.height) / pageHeight());
  return {printable.left, printable.top, static_cast<int>(pageWidth() * scale), static_cast<int>(pageHeight() * scale)};
}

}  // namespace zorvik::view
