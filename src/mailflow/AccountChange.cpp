#include "mailflow/AccountChange.h"

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/SettingsWriteBack.h"

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
    : document_(document), before_(MailAccount::of(document.settings())), edited_(std::move(edited)) {
  apply(edited_);
}

AccountChange::~AccountChange() {
  if (!kept_) apply(before_);
}

bool AccountChange::keep() {
  kept_ = true;
  if (edited_ == before_) return true;
  return SettingsWriteBack::apply(document_, [this](core::SettingsFile& settings) { edited_.applyTo(settings); });
}

void AccountChange::apply(const MailAccount& account) {
  if (edited_ == before_) return;
  account.applyTo(document_.settings());
  document_.settingsChanged();
}

}  // namespace zorvik::mailflow
