/// \file
/// What the compose window's header form shows and decides, apart from its
/// widgets: the address lists, subject, keyword and check boxes of one
/// draft; whether the Cc and Bcc rows are shown (on request, and always
/// when they hold addresses); the form's height mode (0..3, the settings'
/// start value raised to 1 when Cc holds addresses and to 2 when Bcc does);
/// the attachment list in its display mode; the window title by draft kind;
/// and whether closing asks before the draft is dropped (more than two
/// characters of text, line ends not counted, a subject or a To address).
///
/// Text is Shift_JIS, as the engine keeps it.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "compose/DraftKind.h"

namespace zorvik::view {

/// How the attachment list is shown ("OFF", "ｱｲｺﾝ", "詳細").
enum class AttachmentDisplay { Off, Icons, Details };

struct AttachmentEntry {
  std::string path;  ///< as the engine reads it
  std::uint64_t size = 0;
  std::time_t modified = 0;
};

class ComposeForm {
public:
  /// A form for a draft begun with `to`, `cc` and `bcc`; `startHeight` is
  /// the settings' height mode (item 513).
  ComposeForm(std::string to, std::string cc, std::string bcc, int startHeight);

  std::string to, cc, bcc, subject, keyword;
  bool firstLineAsSubject = true;
  bool withoutSignature = false;

  int heightMode() const { return heightMode_; }
  /// The "▼"/"△" button: the next height, 3 wrapping back to 0.
  void toggleHeight() { heightMode_ = (heightMode_ + 1) % 4; }
  /// "▼" while the form can grow, "△" at its greatest height.
  std::string heightButtonText() const;

  bool ccShown() const { return ccRequested_ || !cc.empty(); }
  bool bccShown() const { return bccRequested_ || !bcc.empty(); }
  void requestCc(bool shown) { ccRequested_ = shown; }
  void requestBcc(bool shown) { bccRequested_ = shown; }

  AttachmentDisplay attachmentDisplay = AttachmentDisplay::Off;
  const std::vector<AttachmentEntry>& attachments() const { return attachments_; }
  /// Adds a file unless it is listed already; showing the list when it was
  /// off, so the user sees what was added. False for a repeat.
  bool addAttachment(AttachmentEntry entry);
  /// Removes the entries at `rows` (any order, repeats ignored).
  void removeAttachments(std::vector<std::size_t> rows);
  std::vector<std::string> attachmentPaths() const;

  /// Whether closing without storing asks first.
  bool needsCloseQuestion(const std::string& text) const;

  /// "新規", "返信 + 追記 - 受信箱": the kind word, " + 追記" when text is
  /// added to a draft that already had some, then " - " and the tray.
  static std::string title(compose::DraftKind kind, bool appending, const std::string& trayName);
  /// The size column: bytes, or kilobytes rounded up from 1024 on.
  static std::string sizeText(std::uint64_t bytes);

private:
  int heightMode_ = 0;
  bool ccRequested_ = false;
  bool bccRequested_ = false;
  std::vector<AttachmentEntry> attachments_;
};

}  // namespace zorvik::view
