#include "import/MailerKind.h"

#include "platform/TextEncoding.h"

namespace zorvik::import {
namespace {

constexpr const char* kAllFiles = "すべてのﾌｧｲﾙ(*.*)|*.*||";

}  // namespace

const std::vector<MailerKindInfo>& MailerKinds::all() {
  static const std::vector<MailerKindInfo> kinds = [] {
    std::vector<MailerKindInfo> list{
        {MailerKind::UnixMail, "UNIX mail", "mbox", "", "*.*", {}},
        {MailerKind::MsInternetMail, "MS Internet mail", "msmail", "MS Internet Mail ﾌｧｲﾙ(*.mbx)|*.mbx|", "*.mbx", {}},
        {MailerKind::MsExchange, "MS-Exchange", "exchange", "MS Exchange ﾌｧｲﾙ(*.mbx)|*.mbx|", "*.mbx", core::MessageNumber::ExchangeUnsupported},
        {MailerKind::Becky, "Becky! Internet Mail", "becky", "Becky! ﾌｧｲﾙ(*.mbx)|*.mbx|", "*.mbx", {}},
        {MailerKind::AlMail16, "AL-Mail(16)", "almail16", "AL-Mail(16) ﾌｧｲﾙ(*.box)|*.box|", "*.box", {}},
        {MailerKind::AlMail32, "AL-Mail(32)", "almail32", "AL-Mail(32) ﾌｧｲﾙ(*.box)|*.box|", "*.box", core::MessageNumber::AlMail32Unsupported},
        {MailerKind::NetscapeMail, "NetScape Mail", "netscape", "NetScape Mail ﾌｧｲﾙ(*.xxx)|*.xxx|", "*.xxx", core::MessageNumber::NetscapeMailUnsupported},
        {MailerKind::Denshin8, "電信8号", "denshin8", "電信8号 ﾌｧｲﾙ(*.box)|*.box|", "*.box", core::MessageNumber::Denshin8Unsupported},
        {MailerKind::Maildir, "Maildir", "maildir", "", "*.*", {}},
        {MailerKind::Eml, "eml", "eml", "eml ﾌｧｲﾙ(*.eml)|*.eml|", "*.eml", {}},
    };
    return list;
  }();
  return kinds;
}

const MailerKindInfo& MailerKinds::info(MailerKind kind) { return all().at(static_cast<std::size_t>(kind)); }

std::optional<MailerKind> MailerKinds::parse(std::string_view text) {
  for (const MailerKindInfo& info : all()) {
    if (text == info.key || text == std::to_string(static_cast<int>(info.kind))) return info.kind;
  }
  return std::nullopt;
}

const std::string& MailerKinds::displayName(MailerKind kind) { return platform::sjisLiteral(info(kind).name); }

std::string MailerKinds::dialogFilter(MailerKind kind) {
  return platform::sjisLiteral(info(kind).filter) + platform::sjisLiteral(kAllFiles);
}

}  // namespace zorvik::import
