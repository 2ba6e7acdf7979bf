/// \file
/// Opening a personal settings file as the program's document: the
/// environment check of every start. It loads the settings (offering to
/// rewrite a damaged file), resolves relative paths against the program
/// directory and makes sure the store exists with its work folders and
/// system trays, building a missing store after asking. Without a usable
/// file it runs the first-run flow instead.
///
/// What follows a successful open (time zone, mails left in the work file)
/// is `PostOpen`'s.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "store/FirstRunFlow.h"
#include "store/StartUpPlaces.h"

namespace zorvik::store {

class DocumentOpen {
public:
  /// Shows the account dialog of a first start; no value when cancelled.
  using AccountDialog = std::function<std::optional<AccountSetup>()>;

  DocumentOpen(core::SettingsFile& settings, core::Messages& messages, StartUpPlaces places);

  /// The environment check for the settings file `path`. An empty path or
  /// one that names no file runs the first-run flow with `askAccount`.
  /// Messages: question 40800 (damaged settings; yes rewrites them, and
  /// 40804 when that fails), question 40801 (no store; yes builds it, 40802
  /// when that fails), 40803 (system trays cannot be repaired). False when
  /// the program cannot run with this file.
  bool open(std::string_view path, const AccountDialog& askAccount);

  /// The store check alone, on settings already loaded and resolved.
  bool checkStore();

private:
  bool loadSettings(std::string_view path);

  core::SettingsFile& settings_;
  core::Messages& messages_;
  StartUpPlaces places_;
};

}  // namespace zorvik::store
