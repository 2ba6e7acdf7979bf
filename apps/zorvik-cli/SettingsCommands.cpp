// get ITEM / set ITEM VALUE: one item of the personal settings file, named
// by its number, its description or its English key.
#include "CliCommand.h"
#include "core/ItemEntry.h"
#include "platform/FileSystem.h"

namespace zorvik::cli {
namespace {

int getItem(CliContext& context) {
  if (context.args().size() != 1) return context.usage("usage: get ITEM");
  core::SettingsFile* settings = context.rawSettings();
  if (!settings) return kFailed;
  const auto row = core::findItem(settings->table(), context.args()[0]);
  if (!row) return context.usage("no settings item " + context.args()[0]);
  context.printText(core::valueText(*settings, *row));
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
  const auto row = core::findItem(settings->table(), context.args()[0]);
  if (!row) return context.usage("no settings item " + context.args()[0]);
  const core::ItemRow& item = settings->table().rows()[*row];
  if (const auto expected = core::valueProblem(item, context.args()[1])) {
    context.messages().error(core::MessageNumber::BadItemValue,
                             {std::to_string(item.id), item.description, context.args()[1], *expected});
    return kFailed;
  }
  core::setValueText(*settings, *row, context.args()[1]);
  return settings->save(context.messages(), context.settingsPath()) ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("get", "ITEM", getItem);
ZORVIK_CLI_COMMAND("set", "ITEM VALUE", setItem);

}  // namespace zorvik::cli
