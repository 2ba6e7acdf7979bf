/// \file
/// The fields of a mail that sorting expressions can name.
#pragma once

#include "message/MailRecord.h"
#include "sorting/SortExpression.h"

namespace zorvik::sorting {

/// Looks up "[Subject:]", "[From:]", "[name]", ... in `mail`; the date is
/// written in the user's zone (`zoneHours`). The lookup refers to `mail`,
/// which must outlive it.
FieldLookup mailFields(const message::MailRecord& mail, int zoneHours);

}  // namespace zorvik::sorting
