/// \file
/// What the dialog "振分論理式の試験" shows: the rule of the tray being
/// edited, as its property page holds it (saved or not), tried on the mail
/// selected in the main window's list with all three tests (keyword,
/// expression, send group). "振分判断＝" is followed by "TRUE" or "FALSE";
/// "実行結果" shows the reason and "エラー番号 ＝ N" or "正常終了"; below
/// them the tested mail's header lines and body. Texts are Shift_JIS.
///
/// No mail selected, or one that cannot be read, shows 40630 and gives no
/// report. A link row tests the mail it points at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/ItemValues.h"

namespace zorvik::mailflow {
class Document;
}

namespace zorvik::view {

struct RuleTestReport {
  bool matched = false;
  std::string reason;   // キーワード一致, 振分論理式, 送信グループ一致 or 振分不一致
  std::string outcome;  // "正常終了" or "エラー番号 ＝ N"
  std::string header;   // the header lines, CR LF between them
  std::string body;     // the body lines, CR LF between them

  /// "TRUE" or "FALSE".
  std::string verdict() const { return matched ? "TRUE" : "FALSE"; }

  /// Tries the rule in `edited` (tray property values) of tray `tray` on
  /// the mail at `selected` (tray name and record index).
  static std::optional<RuleTestReport> make(const mailflow::Document& document, const std::string& tray,
                                            const core::ItemValues& edited,
                                            const std::optional<std::pair<std::string, std::uint32_t>>& selected);
};

}  // namespace zorvik::view
