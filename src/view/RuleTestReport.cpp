#include "view/RuleTestReport.h"

#include "mailflow/Document.h"
#include "sorting/RuleTester.h"
#include "store/TrayFile.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::view {
namespace {

std::string bodyOf(const store::TrayFile& tray, std::uint32_t index) {
  auto reader = tray.bodyReader(index);
  std::string body;
  if (!reader) return body;
  std::string line;
  while (reader->next(line)) {
    if (!body.empty()) body += "\r\n";
    body += line;
  }
  return body;
}

}  // namespace

std::optional<RuleTestReport> RuleTestReport::make(const mailflow::Document& document, const std::string& tray,
                                                   const core::ItemValues& edited,
                                                   const std::optional<std::pair<std::string, std::uint32_t>>& selected) {
  namespace item = store::trayitem;
  const auto environment = sorting::SortEnvironment::fromSettings(document.settings(), document.store());
  const sorting::RuleTester tester(environment, document.messages());
  const auto mail = tester.mail(selected ? selected->first : tray,
                                selected ? std::optional(selected->second) : std::nullopt);
  if (!mail) return std::nullopt;
  const sorting::SortRule rule{tray, edited.text(item::kSortKeyword), edited.text(item::kSortExpression),
                               edited.text(item::kSendGroupTo),
                               static_cast<std::uint32_t>(edited.number(item::kFlags))};
  const sorting::RuleTestResult result = tester.test(rule, *mail);
  const store::TrayFile source(document.store(), selected->first);
  return RuleTestReport{result.matched, result.reason, sorting::RuleTester::outcomeText(result),
                        source.headerLines(selected->second).value_or(std::string()),
                        bodyOf(source, selected->second)};
}

}  // namespace zorvik::view
