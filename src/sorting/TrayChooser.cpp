#include "sorting/TrayChooser.h"

#include "core/SjisText.h"
#include "message/AddressParser.h"
#include "platform/TextEncoding.h"
#include "sorting/MailFields.h"
#include "sorting/SortExpression.h"
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

RuleTestResult TrayChooser::test(const SortRule& rule, const message::MailRecord& mail, RuleTest kind) const {
  if (rule.trayPath.empty()) return noMatch();
  switch (kind) {
    case RuleTest::Keyword: {
      bool matched = false;
      if (!rule.keyword.empty()) {
        matched = core::findSjis(mail.listTag, rule.keyword) != std::string::npos;
      } else if ((settings_.trayNameIsKeyword || settings_.createTraysFromTags) &&
                 !rule.has(store::trayflag::kNoNameKeyword)) {
        matched = core::equalsIgnoringAsciiCase(rule.trayName(), mail.listTag);
      }
      if (matched) return {true, sjisLiteral("キーワード一致"), 0};
      return noMatch();
    }
    case RuleTest::Expression: {
      if (rule.expression.empty()) return noMatch();
      const ExpressionResult result = evaluateExpression(rule.expression, mailFields(mail, settings_.zoneHours));
      if (result.error != 0 || !result.value) return noMatch(result.error);
      return {true, sjisLiteral("振分論理式"), 0};
    }
    case RuleTest::SendGroup: {
      if (!rule.has(store::trayflag::kSendGroup) || mail.has(message::mailflag::kSentByUser)) return noMatch();
      const message::AddressParser parser(settings_.aliases);
      const std::string from = parser.parseOne(mail.from).mail.address;
      const std::string to = mail.has(message::mailflag::kToUser) ? std::string() : parser.parseOne(mail.to).mail.address;
      std::size_t compared = 0;
      for (const message::MailAddress& member : parser.parseList(rule.sendGroup)) {
        if (++compared > kMaxGroupEntries) break;
        if ((!from.empty() && core::equalsIgnoringAsciiCase(member.address, from)) ||
            (!to.empty() && core::equalsIgnoringAsciiCase(member.address, to)))
          return {true, sjisLiteral("送信グループ一致"), 0};
      }
      return noMatch();
    }
  }
  return noMatch();
}

bool TrayChooser::takesPart(const SortRule& rule, bool manual) const {
  return manual || rule.has(store::trayflag::kAutoSort);
}

SortChoice TrayChooser::choose(SortRuleSet& rules, const message::MailRecord& mail, bool manual) const {
  for (const SortRule& rule : rules.priority) {
    if (!takesPart(rule, manual)) continue;
    for (const RuleTest kind : {RuleTest::Keyword, RuleTest::Expression, RuleTest::SendGroup})
      if (test(rule, mail, kind).matched) return {rule, false};
  }
  for (const RuleTest kind : {RuleTest::Keyword, RuleTest::Expression}) {
    for (const SortRule& rule : rules.remaining)
      if (takesPart(rule, manual) && test(rule, mail, kind).matched) return {rule, false};
  }
  if (settings_.createTraysFromTags && !mail.listTag.empty()) {
    if (auto created = createFromTag(rules, mail.listTag)) return {std::move(created), true};
    return {};
  }
  for (const SortRule& rule : rules.remaining)
    if (takesPart(rule, manual) && test(rule, mail, RuleTest::SendGroup).matched) return {rule, false};
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
