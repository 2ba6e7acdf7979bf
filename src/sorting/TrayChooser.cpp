#include "sorting/TrayChooser.h"

#include "core/SjisText.h"
#include "message/AddressParser.h"
#include "platform/TextEncoding.h"
#include "sorting/MailFields.h"
#include "sorting/SortExpression.h"
#include "sorting/TextMatch.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"
#include "store/TrayNameRule.h"

namespace zorvik::sorting {
namespace {

using platform::sjisLiteral;

// Larger send groups are only compared up to here.
constexpr std::size_t kMaxGroupEntries = 1000;

RuleTestResult noMatch(int error = 0) { return {false, sjisLiteral("振分不一致"), error}; }

}  // namespace

TrayChooser::TrayChooser(const store::StoreLocation& store, SortSettings settings, TrayMaker makeTray)
    : store_(store), settings_(std::move(settings)), makeTray_(std::move(makeTray)) {}

TrayChooser::MailKeys TrayChooser::keysOf(const message::MailRecord& mail) const {
  const message::AddressParser parser(settings_.aliases);
  MailKeys keys{mailFields(mail, settings_.zoneHours), parser.parseOne(mail.from).mail.address, {}};
  if (!mail.has(message::mailflag::kToUser)) keys.to = parser.parseOne(mail.to).mail.address;
  return keys;
}

const std::vector<std::string>& TrayChooser::groupOf(const std::string& sendGroup) const {
  const auto [at, added] = groups_.try_emplace(sendGroup);
  if (!added) return at->second;
  const message::AddressParser parser(settings_.aliases);
  for (const message::MailAddress& member : parser.parseList(sendGroup)) {
    if (at->second.size() == kMaxGroupEntries) break;
    at->second.push_back(member.address);
  }
  return at->second;
}

bool TrayChooser::matches(const SortRule& rule, const message::MailRecord& mail, const MailKeys& keys, RuleTest kind,
                          int& error) const {
  if (rule.trayPath.empty()) return false;
  switch (kind) {
    case RuleTest::Keyword:
      if (!rule.keyword.empty()) return containsSjis(mail.listTag, rule.keyword);
      return (settings_.trayNameIsKeyword || settings_.createTraysFromTags) &&
             !rule.has(store::trayflag::kNoNameKeyword) && core::equalsIgnoringAsciiCase(rule.trayName(), mail.listTag);
    case RuleTest::Expression: {
      if (rule.expression.empty()) return false;
      const ExpressionResult result = evaluateExpression(rule.expression, keys.fields);
      error = result.error;
      return result.error == 0 && result.value;
    }
    case RuleTest::SendGroup: {
      if (!rule.has(store::trayflag::kSendGroup) || mail.has(message::mailflag::kSentByUser)) return false;
      for (const std::string& member : groupOf(rule.sendGroup)) {
        if ((!keys.from.empty() && core::equalsIgnoringAsciiCase(member, keys.from)) ||
            (!keys.to.empty() && core::equalsIgnoringAsciiCase(member, keys.to)))
          return true;
      }
      return false;
    }
  }
  return false;
}

RuleTestResult TrayChooser::test(const SortRule& rule, const message::MailRecord& mail, RuleTest kind) const {
  int error = 0;
  if (!matches(rule, mail, keysOf(mail), kind, error)) return noMatch(error);
  switch (kind) {
    case RuleTest::Keyword: return {true, sjisLiteral("キーワード一致"), 0};
    case RuleTest::Expression: return {true, sjisLiteral("振分論理式"), 0};
    case RuleTest::SendGroup: return {true, sjisLiteral("送信グループ一致"), 0};
  }
  return noMatch();
}

bool TrayChooser::takesPart(const SortRule& rule, bool manual) const {
  return manual || rule.has(store::trayflag::kAutoSort);
}

SortChoice TrayChooser::choose(SortRuleSet& rules, const message::MailRecord& mail, bool manual) const {
  const MailKeys keys = keysOf(mail);
  int error = 0;  // sorting passes over expression errors
  for (const SortRule& rule : rules.priority) {
    if (!takesPart(rule, manual)) continue;
    for (const RuleTest kind : {RuleTest::Keyword, RuleTest::Expression, RuleTest::SendGroup})
      if (matches(rule, mail, keys, kind, error)) return {rule, false};
  }
  for (const RuleTest kind : {RuleTest::Keyword, RuleTest::Expression}) {
    for (const SortRule& rule : rules.remaining)
      if (takesPart(rule, manual) && matches(rule, mail, keys, kind, error)) return {rule, false};
  }
  if (settings_.createTraysFromTags && !mail.listTag.empty()) {
    if (auto created = createFromTag(rules, mail.listTag)) return {std::move(created), true};
    return {};
  }
  for (const SortRule& rule : rules.remaining)
    if (takesPart(rule, manual) && matches(rule, mail, keys, RuleTest::SendGroup, error)) return {rule, false};
  return {};
}

// A list tag comes from a stranger's Subject: it becomes a tray only when it
// is a plain name, so no tag can place a tray outside the top level of the
// store ("..", "a/b", "/etc") or make one the tree cannot show (".hidden").
std::optional<SortRule> TrayChooser::createFromTag(SortRuleSet& rules, const std::string& tag) const {
  if (store::checkName(tag) != store::NameProblem::None || tag.front() == '.') return std::nullopt;
  // A tray of that name that did not take part keeps its mails: it is never
  // made again over itself.
  if (store::TrayFile(store_, tag).exists()) return std::nullopt;
  if (!makeTray_ || !makeTray_(tag)) return std::nullopt;
  auto rule = readSortRule(store_, tag);
  if (!rule) return std::nullopt;
  rules.remaining.push_back(*rule);
  return rule;
}

}  // namespace zorvik::sorting
