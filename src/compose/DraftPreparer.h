/// \file
/// The first text and header values of a draft, as the compose window
/// starts one: a new mail, a reply (to the sender, or to all), a forward,
/// an addition to the user's own mail, or the user's own mail taken up again.
///
/// The text comes from the tray's template for the kind: "なし" gives an
/// empty text, "標準" the built-in text (a greeting line, the date the mail
/// was sent and the quote), any other name the template file of that name
/// (message 40540 and an empty text when it cannot be read). Several mails
/// make one draft: their texts one after another with a line of "=" between
/// them, their subjects joined with "+", their addresses merged.
///
/// A reply to a mail the user sent is not a reply: a mail that went out
/// becomes an addition to it ("PS:"), one that did not (still unsent, say)
/// becomes its copy for editing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "addressbook/AddressBook.h"
#include "compose/DraftKind.h"
#include "compose/SourceMail.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "store/LinkMaintenance.h"
#include "store/TrayProperties.h"

namespace zorvik::compose {

/// What the compose window is opened with.
struct PreparedDraft {
  DraftKind kind = DraftKind::New;  ///< after the change for the user's own mails
  std::string to;  ///< address lists as the window shows them, "," between addresses
  std::string cc;
  std::string bcc;
  std::string subject;
  std::string keyword;  ///< the tray's keyword, put before the subject when the draft is stored
  std::string inReplyTo;
  std::string references;
  std::string body;  ///< LF after every line
  std::vector<store::MailPlace> originals;  ///< the mails answered, as the list selected them
};

struct PrepareRequest {
  DraftKind kind = DraftKind::New;
  std::string trayName;  ///< the tray the draft is written from
  store::TrayProperties tray;
  std::vector<SourceMail> sources;  ///< in list order; none for a new mail
  /// A template name to use instead of the tray's ("なし", "標準" or a file).
  std::optional<std::string> templateName;
};

class DraftPreparer {
public:
  /// All three must outlive the preparer; without a `book` the address-book
  /// keywords of templates are empty.
  DraftPreparer(const core::SettingsFile& settings, core::Messages& messages, addressbook::AddressBook* book)
      : settings_(settings), messages_(messages), book_(book) {}

  PreparedDraft prepare(const PrepareRequest& request) const;

  /// The keyword of a tray: its sorting keyword (property 1005), or, when
  /// that is empty and settings item 518 asks for it, the last part of its
  /// name (never for a tray whose name may not be its keyword).
  static std::string keywordOf(std::string_view trayName, const store::TrayProperties& tray,
                               const core::SettingsFile& settings);

private:
  struct Context;

  void prepareHeader(const PrepareRequest& request, PreparedDraft& draft) const;
  std::string bodyOf(const Context& context, const SourceMail* source) const;
  std::string builtInText(const Context& context, const SourceMail& source) const;
  std::optional<std::string> templateText(const Context& context, const SourceMail* source,
                                          const std::string& name) const;
  std::string quoteOf(const Context& context, const SourceMail& source, std::string prefix) const;
  std::string prefixOf(const Context& context, const SourceMail& source) const;
  std::string sentDate(const SourceMail& source) const;

  const core::SettingsFile& settings_;
  core::Messages& messages_;
  addressbook::AddressBook* book_;
};

}  // namespace zorvik::compose
