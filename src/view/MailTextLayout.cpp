#include "view/MailTextLayout.h"

#include <algorithm>

#include "core/ItemValues.h"
#include "core/SettingsItemTable.h"

namespace zorvik::view {

TextMetrics TextMetrics::of(const core::ItemValues& settings, int lineHeight) {
  namespace item = core::item;
  TextMetrics metrics;
  metrics.lineHeight = std::max(1, lineHeight);
  metrics.lineSpacing = std::max(0, settings.number(item::kTextLineSpacing));
  metrics.leftMargin = std::max(0, settings.number(item::kTextLeftMargin));
  metrics.topMargin = std::max(0, settings.number(item::kTextTopMargin));
  metrics.iconHeight = std::max(0, settings.number(item::kTextIconTagHeight));
  metrics.separatorWidth = std::max(0, settings.number(item::kTextSeparatorWidth));
  metrics.separatorGap = std::max(0, settings.number(item::kTextSeparatorGap));
  metrics.viewWidth = std::max(1, settings.number(item::kTextViewWidth));
  metrics.tabCharacters = std::max(1, settings.number(item::kTextTabWidth));
  return metrics;
}

MailTextLayout::MailTextLayout(const MailTextContent& content, const TextMetrics& metrics) : metrics_(metrics) {
  int y = metrics_.topMargin;
  if (content.hasHeader()) {
    y += static_cast<int>(content.rows().size()) * rowHeight();
    separatorTop_ = y + metrics_.separatorGap;
    y = separatorTop_ + metrics_.separatorWidth + metrics_.separatorGap;
  }
  tops_.reserve(content.lines().size() + 1);
  for (const BodyLine& line : content.lines()) {
    tops_.push_back(y);
    const int textHeight = line.hasIcon() ? std::max(metrics_.iconHeight, metrics_.lineHeight) : metrics_.lineHeight;
    y += textHeight + metrics_.lineSpacing;
  }
  tops_.push_back(y);
  height_ = y + metrics_.topMargin;
}

std::size_t MailTextLayout::firstLineBelow(int y) const {
  // The first line whose end (the next line's top) lies below y.
  const auto end = std::upper_bound(tops_.begin() + 1, tops_.end(), y);
  return static_cast<std::size_t>(end - tops_.begin()) - 1;
}

std::optional<std::size_t> MailTextLayout::lineAt(int y) const {
  const std::size_t line = firstLineBelow(y);
  if (line >= lineCount() || y < tops_[line]) return std::nullopt;
  return line;
}

}  // namespace zorvik::view
