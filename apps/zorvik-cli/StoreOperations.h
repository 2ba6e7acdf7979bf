/// \file
/// What the tree, list and maintenance commands share: the open document
/// with the two engines that act on its store, tree paths and record
/// indices as a script gives them, and the line about links left behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "core/SettingsItemTable.h"
#include "store/MailOperations.h"
#include "store/TreeOperations.h"

namespace zorvik::cli {

// The open document and the two engines that act on its store.
struct Operations {
  const mailflow::Document& opened;
  store::TreeOperations tree;
  store::MailOperations mails;

  Operations(const mailflow::Document& document, core::Messages& messages)
      : opened(document),
        tree(opened.store(), opened.settings(), messages),
        mails(opened.store(), opened.settings().text(core::item::kTrashTray), opened.settings().timeZoneOffsetHours(),
              opened.settings().text(core::item::kMailServerTray)) {}
};

inline std::optional<Operations> operations(CliContext& context) {
  const auto* document = context.document();
  if (!document) return std::nullopt;
  return std::optional<Operations>(std::in_place, *document, context.messages());
}

// "" and "/" stand for the top cabinet.
inline std::string treePath(const std::string& text) { return text == "/" ? std::string() : text; }

// Record indices; empty when one of them is not a number.
inline std::optional<std::vector<std::uint32_t>> indicesOf(const std::vector<std::string>& args, std::size_t first,
                                                           std::size_t end) {
  std::vector<std::uint32_t> indices;
  for (std::size_t i = first; i < end; ++i) {
    const auto index = recordIndex(args[i]);
    if (!index) return std::nullopt;
    indices.push_back(*index);
  }
  return indices;
}

// Trays whose links could not follow are worth a line: their links may now
// read as broken.
inline int reportMissed(CliContext& context, const std::vector<std::string>& trays) {
  for (const std::string& tray : trays) context.status("zorvik-cli: the links in " + tray + " could not be updated");
  return kDone;
}

// A settings file whose store folder is missing.
inline int noStore(CliContext& context, const mailflow::Document& opened) {
  context.status("zorvik-cli: no store at " + opened.store().topCabinetPath());
  return kFailed;
}

}  // namespace zorvik::cli
