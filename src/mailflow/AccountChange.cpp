#include "mailflow/AccountChange.h"

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/SettingsWriteBack.h"
#include "mailflow/StoreLock.h"
#include "mailflow/StoreMailServerTray.h"

namespace zorvik::mailflow {

namespace item = core::item;

MailAccount MailAccount::of(const core::SettingsFile& settings) {
  MailAccount account;
  account.popServer = settings.text(item::kPopServer);
  account.popUser = settings.text(item::kPopUser);
  account.password = settings.plainPassword(item::kPopPassword);
  account.smtpServer = settings.text(item::kSmtpServer);
  account.useApop = settings.flag(item::kUseApop);
  account.useUidl = settings.flag(item::kUseUidl);
  account.keepOnServer = !settings.flag(item::kDeleteFromServer);
  return account;
}

void MailAccount::applyTo(core::SettingsFile& settings) const {
  settings.setText(item::kPopServer, popServer);
  settings.setText(item::kPopUser, popUser);
  settings.setPlainPassword(item::kPopPassword, password);
  settings.setText(item::kSmtpServer, smtpServer);
  settings.setNumber(item::kUseApop, useApop ? 1 : 0);
  settings.setNumber(item::kUseUidl, useUidl ? 1 : 0);
  settings.setNumber(item::kDeleteFromServer, keepOnServer ? 0 : 1);
}

AccountChange::AccountChange(Document& document, MailAccount edited)
    : document_(document), before_(MailAccount::of(document.settings())), edited_(std::move(edited)) {}

AccountChange::~AccountChange() {
  if (begun_ && !kept_) restore();
}

bool AccountChange::begin() {
  if (edited_ == before_) return true;
  const bool otherMailbox = edited_.popServer != before_.popServer || edited_.popUser != before_.popUser;
  if (otherMailbox && edited_.useUidl) {
    const auto lock = StoreLock::take(document_, StoreWork::ServerTray);
    if (!lock) return false;
    const core::SettingsFile& settings = document_.settings();
    StoreMailServerTray(document_.store(), settings.text(item::kMailServerTray),
                        message::ParseContext::fromSettings(settings, 0))
        .clear();
  }
  edited_.applyTo(document_.settings());
  document_.settingsChanged();
  begun_ = true;
  return true;
}

bool AccountChange::keep() {
  kept_ = true;
  if (!begun_) return true;
  return SettingsWriteBack::apply(document_, [this](core::SettingsFile& settings) { edited_.applyTo(settings); });
}

void AccountChange::restore() {
  before_.applyTo(document_.settings());
  document_.settingsChanged();
}

}  // namespace zorvik::mailflow
