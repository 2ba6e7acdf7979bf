#include "message/ComposedMail.h"

#include "message/AddressParser.h"

namespace zorvik::message {
namespace {

std::vector<std::string> addressesOf(const AddressParser& parser, const std::string& list) {
  std::vector<std::string> addresses;
  for (auto& parsed : parser.parseList(list)) addresses.push_back(std::move(parsed.address));
  return addresses;
}

void appendAll(std::vector<std::string>& to, const std::vector<std::string>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

std::vector<std::string> ComposedMail::recipients(unsigned lists) const {
  std::vector<std::string> all;
  if ((lists & kTo) != 0) appendAll(all, to);
  if ((lists & kCc) != 0) appendAll(all, cc);
  if ((lists & kBcc) != 0) appendAll(all, bcc);
  return all;
}

ComposedMail ComposedMail::fromRecord(const MailRecord& record, const core::AliasTable& aliases) {
  const AddressParser parser(aliases);
  ComposedMail mail;
  mail.subject = record.subject;
  mail.sender = parser.parseOne(record.from).mail.address;
  mail.to = addressesOf(parser, record.to);
  mail.cc = addressesOf(parser, record.cc);
  mail.bcc = addressesOf(parser, record.bcc);
  mail.messageId = record.messageId;
  mail.splitKilobytes = record.internalNumber > 0 ? record.internalNumber : 0;
  return mail;
}

}  // namespace zorvik::message
