// abook list|find|add|remove|import|export: the address book (a vCard file
// in the store root), used only while settings item 116 is on.
//   list                   one line per entry: name, nickname, addresses
//                          (separated by ","), title, company, department,
//                          office, note
//   find TEXT              the choices completion steps through, one line
//                          each: the resolved form, name, address
//   find --address A       the entry holding A, as list prints it
//   add NAME ADDRESS       a new entry ("add 'Name <address>'" also works)
//   add --tray TRAY        the tray's send groups; prints each address added
//   update ADDRESS [--name N] [--reading R] [--nickname K] [--addresses A,B...]
//          [--title T] [--company C] [--department D] [--office O] [--note TEXT]
//                          changes the entry holding ADDRESS: the fields given
//                          (an empty value clears one); its other data stays
//   remove ADDRESS         the entries holding ADDRESS; prints how many
//   import FILE.vcf        the cards of FILE whose addresses are new; prints how many
//   export FILE.vcf        every card into FILE
#include <string>
#include <utility>
#include <vector>

#include "CliCommand.h"
#include "addressbook/AddressCompleter.h"
#include "core/SettingsFile.h"
#include "mailflow/AddressBookFlow.h"
#include "message/AddressParser.h"

namespace zorvik::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: abook list | find TEXT | find --address A | add NAME ADDRESS | add --tray TRAY | "
    "update ADDRESS [--name N] [--reading R] [--nickname K] [--addresses A,B...] [--title T] [--company C] "
    "[--department D] [--office O] [--note TEXT] | remove ADDRESS | import FILE.vcf | export FILE.vcf";

void printEntry(CliContext& context, const addressbook::AddressEntry& entry) {
  std::string addresses;
  for (const std::string& address : entry.addresses) addresses += (addresses.empty() ? "" : ",") + address;
  context.printRow({entry.name, entry.nickname, addresses, entry.title, entry.company, entry.department, entry.office,
                    entry.note});
}

int find(CliContext& context, addressbook::VCardAddressBook& book, const std::vector<std::string>& args) {
  if (args.size() == 3 && args[1] == "--address") {
    const auto entry = book.findByAddress(args[2]);
    if (!entry) return kFailed;
    printEntry(context, *entry);
    return kDone;
  }
  if (args.size() != 2) return context.usage(kUsage);
  const auto choices = book.resolve(args[1]);
  for (const auto& choice : choices)
    context.printRow({addressbook::AddressCompleter::resolvedForm(choice), choice.name, choice.address});
  return choices.empty() ? kFailed : kDone;
}

int add(CliContext& context, addressbook::VCardAddressBook& book, const std::vector<std::string>& args) {
  if (args.size() == 3 && args[1] == "--tray") {
    const auto added = mailflow::AddressBookFlow::registerTray(*context.document(), book, args[2]);
    if (!added) return kFailed;
    for (const std::string& address : *added) context.printRow({address});
    return kDone;
  }
  message::MailAddress mail;
  if (args.size() == 3) mail = {args[2], args[1]};
  else if (args.size() == 2) mail = message::AddressParser(context.document()->settings().aliases()).parseOne(args[1]).mail;
  else return context.usage(kUsage);
  if (mail.address.empty()) return context.usage(kUsage);
  return book.create(mail.name, mail.address) ? kDone : kFailed;
}

int update(CliContext& context, addressbook::VCardAddressBook& book, const std::vector<std::string>& args) {
  if (args.size() < 2 || args.size() % 2 != 0) return context.usage(kUsage);
  auto entry = book.findByAddress(args[1]);
  if (!entry) return kFailed;
  const std::vector<std::pair<std::string_view, std::string*>> fields{
      {"--name", &entry->name},         {"--reading", &entry->reading}, {"--nickname", &entry->nickname},
      {"--title", &entry->title},       {"--company", &entry->company}, {"--department", &entry->department},
      {"--office", &entry->office},     {"--note", &entry->note}};
  for (std::size_t i = 2; i < args.size(); i += 2) {
    const std::string& value = args[i + 1];
    if (args[i] == "--addresses") {
      entry->addresses.clear();
      const message::AddressParser parser(context.document()->settings().aliases());
      for (const message::MailAddress& mail : parser.parseList(value)) entry->addresses.push_back(mail.address);
      if (entry->addresses.empty()) return context.usage(kUsage);
      continue;
    }
    std::string* field = nullptr;
    for (const auto& [option, held] : fields)
      if (args[i] == option) field = held;
    if (!field) return context.usage(kUsage);
    *field = value;
  }
  return book.update(args[1], *entry) ? kDone : kFailed;
}

int abook(CliContext& context) {
  const auto& args = context.args();
  if (args.empty()) return context.usage(kUsage);
  const auto* document = context.document();
  if (!document) return kFailed;
  const auto book = mailflow::AddressBookFlow::open(*document);
  if (!book) {
    context.status("zorvik-cli: the address book is not used (settings item 116 is off)");
    return kFailed;
  }
  const std::string& command = args[0];
  if (command == "list" && args.size() == 1) {
    for (const auto& entry : book->entries()) printEntry(context, entry);
    return kDone;
  }
  if (command == "find") return find(context, *book, args);
  if (command == "add") return add(context, *book, args);
  if (command == "update") return update(context, *book, args);
  if (command == "remove" && args.size() == 2) {
    const auto removed = book->remove(args[1]);
    if (!removed) return kFailed;
    context.printRow({std::to_string(*removed)});
    return *removed > 0 ? kDone : kFailed;
  }
  if (command == "import" && args.size() == 2) {
    const auto added = book->importFile(args[1]);
    if (!added) return kFailed;
    context.printRow({std::to_string(*added)});
    return kDone;
  }
  if (command == "export" && args.size() == 2) return book->exportFile(args[1]) ? kDone : kFailed;
  return context.usage(kUsage);
}

}  // namespace

ZORVIK_CLI_COMMAND("abook", "list|find TEXT|find --address A|add NAME ADDRESS|add --tray TRAY|"
                            "update ADDRESS [--name N] [--reading R] [--nickname K] [--addresses A,B...] [--title T] "
                            "[--company C] [--department D] [--office O] [--note TEXT]|remove ADDRESS|"
                            "import FILE.vcf|export FILE.vcf", abook);

}  // namespace zorvik::cli
