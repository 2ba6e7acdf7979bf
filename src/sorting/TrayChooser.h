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
#include <unordered_map>
#include <vector>

#include "core/AliasTable.h"
#include "message/MailRecord.h"
#include "sorting/SortExpression.h"
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

/// One chooser serves one sorting run on one thread: it keeps each send
/// group it has parsed, so ten thousand mails do not parse two hundred
/// groups each.
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
  /// What the tests read of one mail, worked out once per mail.
  struct MailKeys {
    FieldLookup fields;
    std::string from;  // first address of From
    std::string to;    // first address of To, unless the mail is to the user
  };

  MailKeys keysOf(const message::MailRecord& mail) const;
  /// Whether one test matches; an expression's error goes to `error`.
  bool matches(const SortRule& rule, const message::MailRecord& mail, const MailKeys& keys, RuleTest kind,
               int& error) const;
  /// The addresses of a send group (at most the first 1000), parsed once.
  const std::vector<std::string>& groupOf(const std::string& sendGroup) const;
  bool takesPart(const SortRule& rule, bool manual) const;
  std::optional<SortRule> createFromTag(SortRuleSet& rules, const std::string& tag) const;

  const store::StoreLocation& store_;
  SortSettings settings_;
  TrayMaker makeTray_;
  mutable std::unordered_map<std::string, std::vector<std::string>> groups_;
};

}  // namespace zorvik::sorting
