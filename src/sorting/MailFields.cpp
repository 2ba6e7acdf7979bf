#include "sorting/MailFields.h"

#include <array>
#include <utility>

#include "message/MailDate.h"

namespace zorvik::sorting {

FieldLookup mailFields(const message::MailRecord& mail, int zoneHours) {
  return [&mail, zoneHours](std::string_view name) -> std::optional<std::string> {
    using Member = std::string message::MailRecord::*;
    static constexpr std::array<std::pair<std::string_view, Member>, 13> kFields{{
        {"[From:]", &message::MailRecord::from},
        {"[Subject:]", &message::MailRecord::subject},
        {"[To:]", &message::MailRecord::to},
        {"[Cc:]", &message::MailRecord::cc},
        {"[Sender:]", &message::MailRecord::sender},
        {"[Reply-To:]", &message::MailRecord::replyTo},
        {"[Message-Id:]", &message::MailRecord::messageId},
        {"[References:]", &message::MailRecord::references},
        {"[In-Reply-To:]", &message::MailRecord::inReplyTo},
        {"[Status:]", &message::MailRecord::status},
        {"[name]", &message::MailRecord::fromName},
        {"[name@]", &message::MailRecord::fromLocalPart},
        {"[addr]", &message::MailRecord::fromAddress},
    }};
    if (name == "[Date:]") return message::MailDate::format(mail.date, zoneHours);
    for (const auto& [fieldName, member] : kFields)
      if (fieldName == name) return mail.*member;
    return std::nullopt;
  };
}

}  // namespace zorvik::sorting
