/// \file
/// The drafts a front end opens and stores: the compose window of the
/// desktop client and `zorvik-cli compose` / `draft` start them the same
/// way.
///
///  - prepare: a new mail, a reply, a reply to all, a forward or an addition
///    for mails of a tray (compose::DraftPreparer), its text written into a
///    fresh draft body file ("Txm000"...);
///  - reopen: a stored draft (kept in the drafts tray, or still unsent)
///    taken up again as it is: addresses, subject, text with its attachment
///    lines, edit map;
///  - edit: the text as the user left it, written into the body file, the
///    edit map following which lines were typed;
///  - discard: the window closed without storing: the body file goes;
///  - store: the window's send or keep (compose::DraftWriter), and for a
///    reopened draft the one it came from sent to the trash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/AddressBook.h"
#include "compose/DraftKind.h"
#include "compose/DraftPreparer.h"
#include "compose/DraftWriter.h"
#include "store/LinkMaintenance.h"

namespace zorvik::mailflow {

class Document;

/// A draft as a compose window holds it.
struct OpenDraft {
  compose::PreparedDraft prepared;
  std::string tray;      ///< the tray it is written from
  std::string bodyFile;  ///< its body file, holding prepared.body
  std::string editMap;   ///< which lines were typed; a prepared draft's are all loaded
  std::optional<store::MailPlace> reopened;  ///< the stored draft it came from
  std::vector<std::string> attachments;      ///< files the user added (paths), "@#MIME" lines once stored
  bool withoutSignature = false;             ///< the window's "署名なし"

  /// What storing takes: the prepared values, the body file, the tray, the
  /// added files, the signature choice and `editMap` as the edit map.
  compose::Draft toDraft() const;
};

struct PrepareOptions {
  std::optional<std::string> templateName;  ///< instead of the tray's template
  /// The book a window holds open; none: the document's own book
  /// (AddressBookFlow), none either while item 116 is off.
  addressbook::AddressBook* addressBook = nullptr;
};

class DraftFlow {
public:
  /// A draft of `kind` for mails `indices` of `tray` (none for a new mail).
  /// Empty when the tray or a mail cannot be read (no message: the caller
  /// named them), or after 40599 when no body file can be made.
  static std::optional<OpenDraft> prepare(const Document& document, compose::DraftKind kind, const std::string& tray,
                                          const std::vector<std::uint32_t>& indices,
                                          const PrepareOptions& options = {});
  /// Mail `index` of `tray` taken up again as a draft of kind Copy. Empty as
  /// for prepare.
  static std::optional<OpenDraft> reopen(const Document& document, const std::string& tray, std::uint32_t index);

  /// The user's edit: `text` (Shift_JIS, LF or CR LF between lines) becomes
  /// the draft's text and its body file's; lines found again among the
  /// earlier ones keep what the edit map said of them, others count as
  /// typed. False when the body file cannot be written.
  static bool edit(OpenDraft& draft, const std::string& text);
  /// The text the body file holds now, written there by another program
  /// (the external editor): the draft and its edit map follow it, and the
  /// file is left alone, so a save the program makes meanwhile is kept.
  static void adopt(OpenDraft& draft, const std::string& text);
  /// A draft given up before it was stored: its body file goes.
  static void discard(const OpenDraft& draft);
  /// The edit map of a text whose lines were all loaded, none typed, in
  /// the editor layout of the settings.
  static std::string loadedEditMap(const Document& document);

  /// Stores `draft`; the record index in the unsent or drafts tray. When
  /// `reopened` names the stored draft it was taken from, that one goes to
  /// the trash once the new one is stored.
  static std::optional<std::uint32_t> store(const Document& document, const compose::Draft& draft,
                                            const compose::StoreOptions& options,
                                            const std::optional<store::MailPlace>& reopened = {});
};

}  // namespace zorvik::mailflow
