/// \file
/// Stores a draft the way the compose window does: into the unsent tray
/// when the user sends it, into the drafts tray when it is kept.
///
/// Sending checks, in this order, each refusal ending the operation with its
/// message: 40501 neither text nor subject; 40599 the draft's body file
/// cannot be written; 40502 no To address; 40503 no subject (unless the
/// first text line may stand in for it, item 510); 40504 no own address;
/// 41004 an address list with a control character (CR, LF, NUL, ...: what
/// the user typed never shapes the header); 41100 an attachment that is not
/// a readable file; then, with item 509 on, question 40129 for every To
/// address outside the tray's send group, and, when asked for, question
/// 40505 (or the front end's own list) when characters of the subject or
/// text will not arrive as written. Then the
/// tray's signature (unless the user turned it off) and one "@#MIME" line
/// per attachment are appended, the text is normalised
/// (message::DraftBody), and the mail is stored: the subject behind the
/// keyword in brackets (unless the tray says otherwise), From, Reply-To and
/// Organization as the tray gives them, In-Reply-To and References, the edit
/// map in the "KRDX: " line, the split size in the internal line. The mails
/// a reply answers get the replied mark (also through the link the user
/// chose them by).
///
/// Keeping a draft checks nothing but the body file and the address lists;
/// an empty To is stored as "(宛先なし)", and no signature is added.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compose/DraftKind.h"
#include "compose/SendCharacterCheck.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "message/MailRecord.h"
#include "store/LinkMaintenance.h"
#include "store/StoreLocation.h"
#include "store/TrayProperties.h"

namespace zorvik::compose {

struct Draft {
  std::string to;  ///< address lists as typed ("," or ";" between addresses), Shift_JIS
  std::string cc;
  std::string bcc;
  std::string subject;
  std::string keyword;  ///< the "キー" field: the subject is stored as "[keyword]subject"
  std::string body;      ///< the text (LF or CR LF between lines) when there is no body file
  std::string bodyFile;  ///< the draft's body file ("Txm000"...) holding the text; it goes once stored
  std::vector<std::string> attachments;  ///< paths of files to attach
  std::int32_t splitKilobytes = 0;       ///< 0: the tray's split size when it splits, else never split
  std::string inReplyTo;
  std::string references;
  std::string tray;  ///< the tray the draft is written from (its signature, sender, send group); may be empty
  bool withoutSignature = false;  ///< "署名なし"
  /// "1行目件名": an empty subject taken from the first text line; none:
  /// as settings item 510 says.
  std::optional<bool> firstLineAsSubject;
  std::string editMap;            ///< the "KRDX: " value (see EditMap)
  DraftKind kind = DraftKind::New;
  std::vector<store::MailPlace> originals;  ///< the mails a reply answers
};

enum class DraftTarget {
  Unsent,  ///< sent later: the unsent tray (settings item 204)
  Drafts,  ///< kept: the drafts tray (settings item 213)
};

struct StoreOptions {
  DraftTarget target = DraftTarget::Unsent;
  /// Ask 40505 when the text holds characters that will not arrive as
  /// written (a front end that showed them itself leaves this off).
  bool askAboutCharacters = false;
  /// A front end's own showing of those characters, in place of 40505:
  /// called when sending, once every other check passed and every question
  /// was answered yes, with every finding (half-width kana too); false
  /// stops the store with the draft as it was.
  std::function<bool(const std::vector<CharacterFinding>& findings)> confirmCharacters;
};

class DraftWriter {
public:
  /// `settings` and `messages` must outlive the writer.
  DraftWriter(store::StoreLocation store, const core::SettingsFile& settings, core::Messages& messages);

  /// Checks and stores `draft`; returns its record index in the target
  /// tray. Empty after the message of the refusal (or a "no" answer).
  std::optional<std::uint32_t> store(const Draft& draft, const StoreOptions& options, std::time_t now) const;
  /// store() into the unsent tray.
  std::optional<std::uint32_t> storeUnsent(const Draft& draft, std::time_t now) const {
    return store(draft, StoreOptions{}, now);
  }

private:
  struct Checked;

  std::optional<Checked> check(const Draft& draft, const StoreOptions& options) const;
  bool checkAddresses(const Draft& draft, const std::string& subject) const;
  bool confirmRecipients(const Draft& draft, const Checked& checked) const;
  bool confirmCharacters(const Checked& checked, const StoreOptions& options) const;
  std::vector<std::string> storedLines(const Draft& draft, const Checked& checked, DraftTarget target) const;
  message::MailRecord recordOf(const Draft& draft, const Checked& checked, bool sending, std::time_t now) const;
  void markReplied(const std::vector<store::MailPlace>& originals) const;

  store::StoreLocation store_;
  const core::SettingsFile& settings_;
  core::Messages& messages_;
};

}  // namespace zorvik::compose
