#include "view/ToolBarSequence.h"

#include <algorithm>

namespace zorvik::view {
namespace {

constexpr const char* kVersionSection = "CustTB";

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::vector<int> ToolBarSequence::fullSet(const ToolBar& bar) {
  std::vector<int> commands;
  for (const int id : bar.buttons)
    if (id != 0 && std::find(commands.begin(), commands.end(), id) == commands.end()) commands.push_back(id);
  return commands;
}

std::vector<int> ToolBarSequence::builtIn(const ToolBar& bar) {
  const std::vector<int> full = fullSet(bar);
  std::vector<int> entries;
  for (const int id : bar.buttons) {
    entries.push_back(id == 0 ? kSeparator
                              : static_cast<int>(std::find(full.begin(), full.end(), id) - full.begin()));
  }
  return entries;
}

std::vector<int> ToolBarSequence::commandsOf(const ToolBar& bar, const std::vector<int>& entries) {
  const std::vector<int> full = fullSet(bar);
  std::vector<int> commands;
  for (const int entry : entries) {
    if (entry & 0x80) {
      commands.push_back(0);
    } else if (entry >= 0 && static_cast<std::size_t>(entry) < full.size()) {
      commands.push_back(full[static_cast<std::size_t>(entry)]);
    }
  }
  return commands;
}

std::vector<int> ToolBarSequence::normalized(std::vector<int> entries) {
  if (entries.size() > ToolBar::kMaxEntries) entries.resize(ToolBar::kMaxEntries);
  while (!entries.empty() && entries.back() == kSeparator) entries.pop_back();
  return entries;
}

std::string ToolBarSequence::sectionOf(const ToolBar& bar) {
  return std::string(kVersionSection) + "-ToolBar" + std::to_string(bar.id);
}

std::optional<std::vector<int>> ToolBarSequence::load(const LayoutStore& store, const ToolBar& bar) {
  const std::string section = sectionOf(bar);
  const int count = std::min<int>(store.number(section, "TBNUM", 0), static_cast<int>(ToolBar::kMaxEntries));
  if (count <= 0) return std::nullopt;
  const std::string bytes = store.text(section, "TBSEQ");
  std::vector<int> entries;
  for (int i = 0; i < count && static_cast<std::size_t>(2 * i + 1) < bytes.size(); ++i) {
    const int high = hexDigit(bytes[static_cast<std::size_t>(2 * i)]);
    const int low = hexDigit(bytes[static_cast<std::size_t>(2 * i + 1)]);
    if (high < 0 || low < 0) break;
    const int entry = high * 16 + low;
    entries.push_back(entry & 0x80 ? kSeparator : entry);
  }
  return entries;
}

void ToolBarSequence::save(LayoutStore& store, const ToolBar& bar, const std::vector<int>& entries) {
  const std::vector<int> kept = normalized(entries);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string bytes;
  for (std::size_t i = 0; i < ToolBar::kMaxEntries; ++i) {
    const int entry = i < kept.size() ? kept[i] & 0xFF : 0;
    bytes += kDigits[entry >> 4];
    bytes += kDigits[entry & 15];
  }
  const std::string section = sectionOf(bar);
  store.setNumber(section, "TBNUM", static_cast<std::int32_t>(kept.size()));
  store.setText(section, "TBSEQ", bytes);
  store.setNumber(kVersionSection, "VERSION", kVersion);
}

ToolBar ToolBarSequence::arranged(const LayoutStore& store, const ToolBar& bar) {
  ToolBar result = bar;
  if (const auto entries = load(store, bar)) result.buttons = commandsOf(bar, *entries);
  return result;
}

}  // namespace zorvik::view
