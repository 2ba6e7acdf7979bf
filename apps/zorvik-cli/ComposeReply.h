/// \file
/// compose --reply|--reply-all|--forward|--add TRAY INDEX[,INDEX...]
///         [--to A] [--cc C] [--bcc B] [--template NAME] [--body-file F]
///         [--attach FILE]... [--edit] [--keep] [--check]:
/// prepares the draft the compose window would open for those mails (the
/// tray's template, quote prefix and the document's address book), adds the
/// addresses, the text of F and the files to it, lets the user edit it, prints it and
/// stores it through the window's checks (in the drafts tray with --keep).
/// With --check it only lists the characters that will not arrive as
/// written.
#pragma once

#include <string>
#include <string_view>

#include "CliCommand.h"

namespace zorvik::cli {

/// Whether `option`, the first argument of compose, asks for a draft of
/// the mails of a tray (reply, reply to all, forward, addition).
bool isDraftKindOption(const std::string& option);

/// Runs compose with such a first argument; `usage` is shown when the
/// arguments do not parse.
int composeReply(CliContext& context, std::string_view usage);

}  // namespace zorvik::cli
