/// \file
/// Chooses the tray a mail belongs in: the priority trays first, each by
/// keyword, expression and send group; then every other tray, in three
/// passes (all keywords, all expressions, all send groups). With trays made
/// from list tags switched on, a mail whose tag matches no tray gets a new
/// tray named after the tag instead of the send-group pass.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/AliasTable.h"
#include "message/MailRecord.h"
#include "sorting/SortRule.h"

namespace zorvik::sorting {

enum class RuleTest { Keyword, Expression, SendGroup };

struct RuleTestResult {
  bool matched = false;
  std::string reason;  // Shift_JIS: キーワード一致, 振分論理式, 送信グループ一致 or 振分不一致
  int error = 0;       // the expression's error code
};

struct SortChoice {
  std::optional<SortRule> rule;  // empty: no tray
  bool trayCreated = false;
};

/// The settings that sorting depends on.
struct SortSettings {
  bool trayNameIsKeyword = false;      // the tray name stands for a missing keyword
  bool createTraysFromTags = false;    // make a tray for an unknown list tag
  int zoneHours = 9;
  core::AliasTable aliases;
};

class TrayChooser {
public:
  /// Makes a tray of the given name at the top of the store; true when it
  /// exists afterwards.
  using TrayMaker = std::function<bool(const std::string& name)>;

  TrayChooser(const store::StoreLocation& store, SortSettings settings, TrayMaker makeTray);

  /// One test of one rule. An expression error is returned, never thrown.
  RuleTestResult test(const SortRule& rule, const message::MailRecord& mail, RuleTest kind) const;

  /// The tray for `mail`. Automatic runs (`manual` false) only consider trays
  /// that sort received mail automatically. A created tray is appended to
  /// the set's remaining list.
  SortChoice choose(SortRuleSet& rules, const message::MailRecord& mail, bool manual) const;

private:
  bool takesPart(const SortRule& rule, bool manual) const;
  std::optional<SortRule> createFromTag(SortRuleSet& rules, const std::string& tag) const;

  const store::StoreLocation& store_;
  SortSettings settings_;
  TrayMaker makeTray_;
};

}  // namespace zorvik::sorting
