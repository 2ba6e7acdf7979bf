#include "store/TrayUpgrade.h"

#include <map>

#include "platform/TextEncoding.h"
#include "store/LinkMaintenance.h"
#include "store/MailRecordIndex.h"
#include "store/RecordFlags.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"

namespace zorvik::store {
namespace {

constexpr std::uint32_t kUserBits = recordflag::kSentByUser | recordflag::kToUser;

}  // namespace

const std::string& TrayUpgrade::questionText() {
  static const std::string text = platform::utf8ToSjis(
      "このコマンドは旧バージョンのトレイを更新します。\n  (1)Cc:メールのアイコンを正規に変更\n  "
      "(2)添付ファイルのゴミの掃除\n本当に実行しますか？");
  return text;
}

int TrayUpgrade::upgradeTray(std::string_view tray) const {
  const TrayFile file(store_, std::string(tray));
  std::map<std::uint32_t, std::uint32_t> userBits;  // index -> newly computed bits
  {
    auto reader = file.reader();
    if (!reader) return -1;
    std::vector<TrayRecord> mails;
    TrayRecord stored;
    while (reader->nextMail(stored) == ReadResult::Live) {
      if (!stored.isLink()) mails.push_back(stored);
    }
    reader.reset();
    for (const TrayRecord& mail : mails) {
      const auto header = file.headerLines(mail.index);
      if (!header) continue;
      message::MailRecord parsed = MailRecordIndex::fromIndex(mail);
      // Parsing only adds bits, and a reset keeps these: they must start
      // clear to be computed anew.
      parsed.flags &= ~kUserBits;
      parser_.reparse(parsed, *header);
      if ((parsed.flags & kUserBits) != (mail.record.flags() & kUserBits)) userBits[mail.index] = parsed.flags & kUserBits;
    }
  }
  int changed = 0;
  for (const auto& [index, bits] : userBits) {
    // The record is read again under the write lock: only the two bits
    // change, whatever else happened to the word meanwhile.
    if (file.changeFlags(index, kUserBits & ~bits, false) && file.changeFlags(index, bits, true)) ++changed;
  }
  return changed;
}

int TrayUpgrade::upgradeStore(const core::ItemValues& settings) const {
  int changed = 0;
  for (const std::string& tray : LinkMaintenance(store_).allTrays()) {
    if (systemTrayKind(settings, tray) == kMailServerTray) continue;
    const int result = upgradeTray(tray);
    if (result > 0) changed += result;
  }
  return changed;
}

}  // namespace zorvik::store
