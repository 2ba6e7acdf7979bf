#include "mailflow/AddressBookFlow.h"

#include "core/SettingsItemTable.h"
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
                                                                      const std::string& tray) {
  const auto properties = store::TrayFile(document.store(), tray).properties();
  if (!properties) return std::nullopt;
  const message::AddressParser parser(document.settings().aliases());
  std::vector<std::string> created;
  for (const std::string* group : {&properties->sendGroupTo, &properties->sendGroupCc, &properties->sendGroupBcc}) {
    for (const message::MailAddress& mail : parser.parseList(*group)) {
      if (book.findByAddress(mail.address)) continue;
      if (!book.create(mail.name, mail.address)) return std::nullopt;
      created.push_back(mail.address);
    }
  }
  return created;
}

}  // namespace zorvik::mailflow
