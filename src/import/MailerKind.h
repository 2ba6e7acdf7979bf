/// \file
/// The kinds of mail program whose mailboxes can be imported, in the order
/// of the list the import dialog shows, with the file filter and default
/// extension the dialog offers for each. Four of the eight kinds of the
/// list answer that their import is not implemented; Maildir folders and
/// single ".eml" files (what current Linux mail programs keep) follow
/// them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/MessageNumber.h"

namespace zorvik::import {

enum class MailerKind {
  UnixMail = 0,
  MsInternetMail = 1,
  MsExchange = 2,
  Becky = 3,
  AlMail16 = 4,
  AlMail32 = 5,
  NetscapeMail = 6,
  Denshin8 = 7,
  Maildir = 8,
  Eml = 9,
};

struct MailerKindInfo {
  MailerKind kind;
  const char* name;              // the list's text (UTF-8)
  const char* key;               // the command line's name (ASCII)
  const char* filter;            // the file dialog's filter (UTF-8)
  const char* defaultExtension;  // "*.mbx"
  std::optional<core::MessageNumber> notImplemented;  // what a kind not imported answers
};

class MailerKinds {
public:
  /// Every kind, in list order.
  static const std::vector<MailerKindInfo>& all();
  static const MailerKindInfo& info(MailerKind kind);
  /// A kind by its list number ("0".."9") or its key ("mbox", "becky", ...).
  static std::optional<MailerKind> parse(std::string_view text);
  /// The kind's name in Shift_JIS, for messages.
  static const std::string& displayName(MailerKind kind);
  /// The file dialog's filter for the kind, followed by the one for all
  /// files (Shift_JIS).
  static std::string dialogFilter(MailerKind kind);
};

}  // namespace zorvik::import
