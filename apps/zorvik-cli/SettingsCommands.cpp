// get ITEM / set ITEM VALUE: one item of the personal settings file.
#include <cstdio>
#include <cstdlib>

#include "CliCommand.h"
#include "platform/FileSystem.h"

namespace zorvik::cli {
namespace {

// The item number of a command argument, if it names an item with a value.
std::optional<std::size_t> valueRow(const core::SettingsFile& settings, const std::string& text) {
  char* end = nullptr;
  const long id = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  const auto row = settings.table().indexOf(static_cast<int>(id));
  if (!row) return std::nullopt;
  const core::ItemKind kind = settings.table().rows()[*row].kind;
  if (kind == core::ItemKind::Section || kind == core::ItemKind::End) return std::nullopt;
  return row;
}

std::string displayValue(const core::SettingsFile& settings, std::size_t row) {
  const core::ItemRow& item = settings.table().rows()[row];
  if (core::SettingsFile::isPasswordItem(item.id)) return settings.plainPassword(item.id);
  char number[16];
  switch (item.kind) {
    case core::ItemKind::Colour:
      std::snprintf(number, sizeof number, "%08X", static_cast<unsigned>(settings.numberAt(row)));
      return number;
    case core::ItemKind::Integer:
    case core::ItemKind::Switch: return std::to_string(settings.numberAt(row));
    default: return settings.textAt(row);
  }
}

void assignValue(core::SettingsFile& settings, std::size_t row, const std::string& value) {
  const core::ItemRow& item = settings.table().rows()[row];
  if (core::SettingsFile::isPasswordItem(item.id)) return settings.setPlainPassword(item.id, value);
  switch (item.kind) {
    case core::ItemKind::Colour:
      return settings.setNumber(item.id, static_cast<std::int32_t>(std::strtoul(value.c_str(), nullptr, 16)));
    case core::ItemKind::Integer:
    case core::ItemKind::Switch:
      return settings.setNumber(item.id, static_cast<std::int32_t>(std::strtol(value.c_str(), nullptr, 10)));
    default: return settings.setText(item.id, value);
  }
}

int getItem(CliContext& context) {
  if (context.args().size() != 1) return context.usage("usage: get ITEM");
  core::SettingsFile* settings = context.rawSettings();
  if (!settings) return kFailed;
  const auto row = valueRow(*settings, context.args()[0]);
  if (!row) return context.usage("no settings item " + context.args()[0]);
  context.printText(displayValue(*settings, *row));
  context.printText("\n");
  return kDone;
}

// A settings file that does not exist yet is begun from the defaults: a
// script may build one item by item before `check` builds the store.
int setItem(CliContext& context) {
  if (context.args().size() != 2) return context.usage("usage: set ITEM VALUE");
  if (context.settingsPath().empty()) return context.usage("set: give --settings FILE or set ZORVIK_SETTINGS");
  std::optional<core::SettingsFile> fresh;
  core::SettingsFile* settings = nullptr;
  if (platform::pathExists(context.settingsPath())) {
    settings = context.rawSettings();
  } else {
    context.status("zorvik-cli: new settings file " + context.settingsPath());
    settings = &fresh.emplace();
  }
  if (!settings) return kFailed;
  const auto row = valueRow(*settings, context.args()[0]);
  if (!row) return context.usage("no settings item " + context.args()[0]);
  assignValue(*settings, *row, context.args()[1]);
  return settings->save(context.messages(), context.settingsPath()) ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("get", "ITEM", getItem);
ZORVIK_CLI_COMMAND("set", "ITEM VALUE", setItem);

}  // namespace zorvik::cli
