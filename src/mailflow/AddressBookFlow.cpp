#include "mailflow/AddressBookFlow.h"

#include <set>

#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "mailflow/Document.h"
#include "message/AddressParser.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {

std::string AddressBookFlow::pathOf(const Document& document) {
  return platform::joinPath(document.store().root, "addressbook.vcf");
}

std::unique_ptr<addressbook::VCardAddressBook> AddressBookFlow::open(const Document& document) {
  if (!document.settings().flag(core::item::kUseAddressBook)) return nullptr;
  return std::make_unique<addressbook::VCardAddressBook>(pathOf(document));
}

std::optional<std::vector<std::string>> AddressBookFlow::registerTray(const Document& document,
                                                                      addressbook::AddressBook& book,
                                                                      const std::string& tray,
                                                                      const ConfirmEntry& confirm) {
  const auto properties = store::TrayFile(document.store(), tray).properties();
  if (!properties) return std::nullopt;
  const message::AddressParser parser(document.settings().aliases());
  std::vector<std::string> created;
  std::set<std::string> asked;
  for (const std::string* group : {&properties->sendGroupTo, &properties->sendGroupCc, &properties->sendGroupBcc}) {
    for (const message::MailAddress& mail : parser.parseList(*group)) {
      // An address in two groups, or skipped once, is not asked about again.
      if (!asked.insert(core::asciiLowerCase(mail.address)).second || book.findByAddress(mail.address)) continue;
      addressbook::AddressEntry entry = addressbook::AddressEntry::proposed(mail.name, mail.address);
      if (confirm) {
        auto confirmed = confirm(entry);
        if (!confirmed || confirmed->addresses.empty()) continue;
        entry = std::move(*confirmed);
      }
      if (!book.create(entry)) return std::nullopt;
      created.push_back(entry.addresses.front());
    }
  }
  return created;
}

}  // namespace zorvik::mailflow
