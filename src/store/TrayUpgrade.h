/// \file
/// Brings trays written by older versions up to date: the header of every
/// stored mail is parsed again and the two bits that depend on who the user
/// is (sent by the user, addressed to the user) are replaced by what the
/// parser says now; every other bit of the flags word stays. The mail server
/// tray holds no stored mails and is passed over.
#pragma once

#include <string>
#include <string_view>

#include "core/ItemValues.h"
#include "message/MailRecordParser.h"
#include "store/TrayName.h"

namespace zorvik::store {

class TrayUpgrade {
public:
  /// The question asked before the whole store is upgraded (Shift_JIS).
  static const std::string& questionText();

  TrayUpgrade(StoreLocation store, const message::MailRecordParser& parser) : store_(std::move(store)), parser_(parser) {}

  /// Upgrades one tray; returns how many flags words changed, or -1 when the
  /// tray cannot be read or written.
  int upgradeTray(std::string_view tray) const;
  /// Upgrades every tray of the store except the mail server tray named by
  /// `settings`; returns how many flags words changed.
  int upgradeStore(const core::ItemValues& settings) const;

private:
  StoreLocation store_;
  const message::MailRecordParser& parser_;
};

}  // namespace zorvik::store
