#include "view/LayoutValues.h"

#include <algorithm>
#include <cstdio>

namespace zorvik::view {
namespace {

constexpr const char* kSearchSwitchNames[] = {"FWYCAB", "FWYHEAD", "FWYTEXT", "FWYTOP", "FWYCASE", "FWYREGU"};

std::string columnWidthName(int column) {
  char name[16];
  std::snprintf(name, sizeof name, "LVWIDTH%02d", column);
  return name;
}

// A value read from the store, back to its default when outside [low, high].
int bounded(const LayoutStore& store, const std::string& section, const char* name, int fallback, int low,
            int high) {
  const int value = store.number(section, name, fallback);
  return value < low || value > high ? fallback : value;
}

constexpr int kCoordinateLimit = 100000;

WindowRect readRect(const LayoutStore& store, const std::string& section, const char* prefix,
                    const WindowRect& fallback) {
  const std::string p(prefix);
  WindowRect rect{bounded(store, section, (p + "_L").c_str(), fallback.left, -kCoordinateLimit, kCoordinateLimit),
                  bounded(store, section, (p + "_T").c_str(), fallback.top, -kCoordinateLimit, kCoordinateLimit),
                  bounded(store, section, (p + "_R").c_str(), fallback.right, -kCoordinateLimit, kCoordinateLimit),
                  bounded(store, section, (p + "_B").c_str(), fallback.bottom, -kCoordinateLimit, kCoordinateLimit)};
  // A rectangle turned inside out would make an invisible window.
  if (rect.right <= rect.left || rect.bottom <= rect.top) return fallback;
  return rect;
}

void writeRect(LayoutStore& store, const std::string& section, const char* prefix, const WindowRect& rect) {
  const std::string p(prefix);
  store.setNumber(section, p + "_L", rect.left);
  store.setNumber(section, p + "_T", rect.top);
  store.setNumber(section, p + "_R", rect.right);
  store.setNumber(section, p + "_B", rect.bottom);
}

}  // namespace

std::string LayoutValues::windowSection(const std::string& settingsName) { return settingsName + "-xm9"; }
std::string LayoutValues::paneSection(const std::string& settingsName) { return settingsName + "-VWitem"; }
std::string LayoutValues::barSection(const std::string& settingsName) { return settingsName + "-CtrlBarA"; }
std::string LayoutValues::barSummarySection(const std::string& settingsName) {
  return settingsName + "-CtrlBarA-Summary";
}

LayoutValues LayoutValues::read(const LayoutStore& store, const std::string& settingsName) {
  LayoutValues values;
  const std::string window = windowSection(settingsName);
  const std::string panes = paneSection(settingsName);
  values.frame = readRect(store, window, "FRAME", values.frame);
  values.compose = readRect(store, window, "SENDD", values.compose);
  values.composeEditorHeight = bounded(store, window, "MEDIT_H", values.composeEditorHeight, 0, kCoordinateLimit);
  values.textWindow = readRect(store, window, "TVIEW", values.textWindow);
  values.sortColumn = bounded(store, window, "LVSO_I", values.sortColumn, -1, 7);
  values.sortDirection = bounded(store, window, "LVSO_O", values.sortDirection, 0, 1);
  values.selectedNode = store.text(window, "INTRAY");
  values.barLayoutVersion = store.number(window, "TBARVER", 0);
  for (std::size_t i = 0; i < values.searchSwitches.size(); ++i)
    values.searchSwitches[i] = bounded(store, window, kSearchSwitchNames[i], values.searchSwitches[i], 0, 1);

  values.treeWidth = bounded(store, panes, "TREEV_W", values.treeWidth, 0, kCoordinateLimit);
  values.treeHeight = bounded(store, panes, "TREEV_H", values.treeHeight, 0, kCoordinateLimit);
  values.listHeight = bounded(store, panes, "LISTV_H", values.listHeight, 0, kCoordinateLimit);
  values.viewMode = bounded(store, panes, "VW_MODE", values.viewMode, 0, 3);
  for (int column = 0; column < kColumns; ++column) {
    auto& width = values.columnWidths[static_cast<std::size_t>(column)];
    width = bounded(store, panes, columnWidthName(column).c_str(), width, 0, kCoordinateLimit);
  }

  values.barState = store.text(barSection(settingsName), "State");
  const std::string summary = barSummarySection(settingsName);
  values.barCount = store.number(summary, "Bars", 0);
  values.screenWidth = store.number(summary, "ScreenCX", 0);
  values.screenHeight = store.number(summary, "ScreenCY", 0);
  return values;
}

void LayoutValues::write(LayoutStore& store, const std::string& settingsName) const {
  const std::string window = windowSection(settingsName);
  const std::string panes = paneSection(settingsName);
  writeRect(store, window, "FRAME", frame);
  writeRect(store, window, "SENDD", compose);
  store.setNumber(window, "MEDIT_H", composeEditorHeight);
  writeRect(store, window, "TVIEW", textWindow);
  store.setNumber(window, "LVSO_I", sortColumn);
  store.setNumber(window, "LVSO_O", sortDirection);
  store.setText(window, "INTRAY", selectedNode);
  store.setNumber(window, "TBARVER", kBarLayoutVersion);
  for (std::size_t i = 0; i < searchSwitches.size(); ++i)
    store.setNumber(window, kSearchSwitchNames[i], searchSwitches[i]);

  store.setNumber(panes, "TREEV_W", treeWidth);
  store.setNumber(panes, "TREEV_H", treeHeight);
  store.setNumber(panes, "LISTV_H", listHeight);
  store.setNumber(panes, "VW_MODE", viewMode);
  for (int column = 0; column < kColumns; ++column)
    store.setNumber(panes, columnWidthName(column), columnWidths[static_cast<std::size_t>(column)]);

  store.setText(barSection(settingsName), "State", barState);
  const std::string summary = barSummarySection(settingsName);
  store.setNumber(summary, "Bars", barCount);
  store.setNumber(summary, "ScreenCX", screenWidth);
  store.setNumber(summary, "ScreenCY", screenHeight);
}

}  // namespace zorvik::view
