/// \file
/// The text put in front of each quoted line, as the tray chooses it (tray
/// property 1014): 0 the quote end mark alone (property 1015, ">" by
/// default), 1 the tray's own prefix (property 1016) with its field
/// keywords filled in from the source mail, 2 the sender's local part and
/// the end mark ("taro>"), 3 the sender's name and the end mark.
#pragma once

#include <string>

#include "compose/SourceMail.h"
#include "compose/TemplateFields.h"
#include "store/TrayProperties.h"

namespace zorvik::compose {

class QuotePrefix {
public:
  /// `fields` answers the keywords of the tray's own prefix.
  static std::string of(const store::TrayProperties& tray, const SourceMail& source, const TemplateFields& fields);
};

}  // namespace zorvik::compose
