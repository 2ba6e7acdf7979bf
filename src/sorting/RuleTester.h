/// \file
/// The rule test of the tray property page: one tray's rule (as the page
/// holds it, saved or not) tried on the mail selected in the list, with all
/// three tests in the order keyword, expression, send group. The first test
/// that matches decides; otherwise the answer is "振分不一致" with the
/// expression's error code, if it had one, so the user sees why an
/// expression never matches.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Messages.h"
#include "message/MailRecord.h"
#include "sorting/SortEnvironment.h"
#include "sorting/SortRule.h"
#include "sorting/TrayChooser.h"

namespace zorvik::sorting {

class RuleTester {
public:
  /// The references must outlive the tester.
  RuleTester(const SortEnvironment& environment, core::Messages& messages);

  /// The mail to test, header parsed (a link row gives the mail it points
  /// at). No index, or a mail that cannot be read, shows 40630.
  std::optional<message::MailRecord> mail(const std::string& tray, std::optional<std::uint32_t> index) const;

  RuleTestResult test(const SortRule& rule, const message::MailRecord& mail) const;

  /// What the dialog shows as the outcome: "エラー番号 ＝ N" for an
  /// expression error, else "正常終了" (Shift_JIS).
  static std::string outcomeText(const RuleTestResult& result);

private:
  const SortEnvironment& environment_;
  core::Messages& messages_;
  TrayChooser chooser_;
};

}  // namespace zorvik::sorting
