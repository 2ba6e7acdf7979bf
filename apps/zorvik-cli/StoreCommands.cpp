// trays, prop, flags: the tree of the store and the properties of its trays.
#include <string>

#include "StoreOperations.h"

#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"
#include "store/TrayNameRule.h"
#include "store/TrayPropertyTable.h"
#include "store/TreeListing.h"

namespace zorvik::cli {
namespace {

std::string_view kindWord(store::SystemTrayKind kind) {
  switch (kind) {
    case store::kMailServerTray: return "server";
    case store::kNewMailTray: return "new";
    case store::kUnsentTray: return "unsent";
    case store::kSentTray: return "sent";
    case store::kDraftsTray: return "drafts";
    case store::kSearchResultsTray: return "search";
    case store::kTrashTray: return "trash";
    case store::kOrdinaryTray: break;
  }
  return "tray";
}

std::string countText(std::optional<std::uint32_t> count) { return count ? std::to_string(*count) : "?"; }

// Tray and cabinet names come from the user: one that is absolute or climbs
// out with ".." is refused before any file is touched.
std::optional<store::TrayFile> existingTray(CliContext& context, const mailflow::Document& opened, const std::string& name) {
  if (!store::isStoreRelativePath(name, false)) {
    context.status("zorvik-cli: not a tray name inside the store: " + name);
    return std::nullopt;
  }
  store::TrayFile tray(opened.store(), name);
  if (!tray.exists()) {
    context.status("zorvik-cli: no tray " + name);
    return std::nullopt;
  }
  return tray;
}

int listTrays(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: trays");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  if (!store::isCabinet(opened->store(), "")) return noStore(context, *opened);
  store::walkTree(opened->store(), "", [&](const store::TreeEntry& entry) {
    if (entry.isCabinet) return context.printRow({"cabinet", entry.path, "-", "-"});
    const store::TrayFile tray(opened->store(), entry.path);
    context.printRow({kindWord(store::systemTrayKind(opened->settings(), entry.path)), entry.path,
                      countText(tray.count(false)), countText(tray.count(true))});
  });
  return kDone;
}

// Multi-line properties hold CR LF; the terminal shows and gives LF.
std::string toTerminal(std::string text) {
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}
std::string fromTerminal(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n' && (out.empty() || out.back() != '\r')) out += '\r';
    out += c;
  }
  return out;
}

int property(CliContext& context) {
  const auto& args = context.args();
  if (args.size() != 2 && args.size() != 3) return context.usage("usage: prop TRAY ITEM [VALUE]");
  char* end = nullptr;
  const long id = std::strtol(args[1].c_str(), &end, 10);
  if (end == args[1].c_str() || *end != '\0' || id < store::trayitem::kFirstProperty ||
      id > store::trayitem::kLastProperty)
    return context.usage("prop: ITEM is a tray property number from 1002 to 1026");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto tray = existingTray(context, *opened, args[0]);
  if (!tray) return kFailed;
  auto properties = tray->properties();
  if (!properties) return kFailed;
  if (args.size() == 2) {
    context.printText(toTerminal(*store::propertyText(*properties, static_cast<int>(id))) + "\n");
    return kDone;
  }
  if (!store::setPropertyText(*properties, static_cast<int>(id), fromTerminal(args[2])))
    return context.usage("prop: item " + args[1] + " takes a number" +
                         (id == store::trayitem::kFlags ? " in hexadecimal" : ""));
  if (tray->rewriteProperties(*properties)) return kDone;
  context.status("zorvik-cli: cannot write the properties of " + tray->name());
  return kFailed;
}

// The word in hexadecimal, then the name of every bit that is set.
void printFlags(CliContext& context, const store::TrayProperties& properties) {
  const std::uint32_t flags = properties.flags;
  std::vector<std::string> row{*store::propertyText(properties, store::trayitem::kFlags)};
  for (const auto& flag : store::trayflag::kFlagNames)
    if ((flags & flag.bit) != 0) row.emplace_back(flag.name);
  context.printRow(row);
}

int flags(CliContext& context) {
  const auto& args = context.args();
  if (args.empty()) return context.usage("usage: flags TRAY [+NAME|-NAME]...");
  std::uint32_t set = 0;
  std::uint32_t clear = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& change = args[i];
    const auto bit = change.size() > 1 ? store::trayflag::bitOf(std::string_view(change).substr(1)) : std::nullopt;
    if (!bit || (change[0] != '+' && change[0] != '-'))
      return context.usage("flags: " + change + " is not +NAME or -NAME of a known flag");
    (change[0] == '+' ? set : clear) |= *bit;
  }
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto tray = existingTray(context, *opened, args[0]);
  if (!tray) return kFailed;
  auto properties = tray->properties();
  if (!properties) return kFailed;
  if (set != 0 || clear != 0) {
    properties->flags = (properties->flags & ~clear) | set;
    if (!tray->rewriteProperties(*properties)) {
      context.status("zorvik-cli: cannot write the properties of " + tray->name());
      return kFailed;
    }
  }
  printFlags(context, *properties);
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("trays", "", listTrays);
ZORVIK_CLI_COMMAND("prop", "TRAY ITEM [VALUE]", property);
ZORVIK_CLI_COMMAND("flags", "TRAY [+NAME|-NAME]...", flags);

}  // namespace zorvik::cli
