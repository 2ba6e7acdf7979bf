#include "sorting/RuleTester.h"

#include "core/MessageFormat.h"
#include "message/MailRecordParser.h"
#include "platform/TextEncoding.h"
#include "store/MailRecordIndex.h"
#include "store/TrayFile.h"

namespace zorvik::sorting {

using core::MessageNumber;

RuleTester::RuleTester(const SortEnvironment& environment, core::Messages& messages)
    : environment_(environment), messages_(messages), chooser_(environment.store, environment.rules, {}) {}

std::optional<message::MailRecord> RuleTester::mail(const std::string& tray,
                                                    std::optional<std::uint32_t> index) const {
  const store::TrayFile file(environment_.store, tray);
  store::TrayRecord stored;
  const auto header = index ? file.headerLines(*index) : std::nullopt;
  if (!header || file.read(*index, stored) != store::ReadResult::Live) {
    messages_.error(MessageNumber::NoMailToTest);
    return std::nullopt;
  }
  message::MailRecord mail = store::MailRecordIndex::fromIndex(stored);
  message::MailRecordParser(environment_.parse).reparse(mail, *header);
  return mail;
}

RuleTestResult RuleTester::test(const SortRule& rule, const message::MailRecord& mail) const {
  RuleTestResult last;
  int error = 0;
  for (const RuleTest kind : {RuleTest::Keyword, RuleTest::Expression, RuleTest::SendGroup}) {
    last = chooser_.test(rule, mail, kind);
    if (last.matched) return last;
    if (kind == RuleTest::Expression) error = last.error;
  }
  last.error = error;
  return last;
}

std::string RuleTester::outcomeText(const RuleTestResult& result) {
  using platform::sjisLiteral;
  if (result.error == 0) return sjisLiteral("正常終了");
  return core::formatMessage(sjisLiteral("エラー番号 ＝ %d"), {result.error});
}

}  // namespace zorvik::sorting
