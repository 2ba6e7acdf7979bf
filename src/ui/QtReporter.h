/// \file
/// The desktop client's core::Reporter: every numbered message as a
/// QMessageBox with the caption it comes with ("Zorvik:エラー  No.804") and
/// the icon and buttons of its kind:
///   question     question icon, "はい" / "いいえ" (Escape: no)
///   information  information icon, "OK"
///   error, fatal stop icon, "OK"
///   bug          exclamation icon, "OK"
/// Question 44101 (the disk is nearly full) is the LowDiskSpaceDialog.
///
/// Texts come in Shift_JIS and are turned into Unicode here, once. A text
/// is cut to core::Messages::kTextLimit bytes (whole characters), as the
/// message table's texts are; a fatal error's text keeps the closing
/// sentence core::Messages puts after its cut message.
///
/// Safe from any thread: a box asked for on another thread is shown on the
/// application's thread, the caller waiting for the answer.
///
/// Test hooks: every box goes to UiLog. With ZORVIK_ANSWER=yes or no no box
/// is shown at all, as in zorvik-cli: questions get that answer, the other
/// boxes are only logged (an unattended run would otherwise stop at the
/// first error box). Question 44101 asked again right after an automatic
/// "yes" is answered "no": nobody frees the disk in such a run, and "yes"
/// would only ask again for ever.
#pragma once

#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "core/Reporter.h"
#include "core/UnattendedAnswer.h"

class QMessageBox;
class QWidget;

namespace zorvik::ui {

class QtReporter final : public core::Reporter {
public:
  /// Boxes are owned by `owner` (none: the active window), which may come
  /// later (setOwner), since messages are shown before the main window.
  explicit QtReporter(QWidget* owner = nullptr) : owner_(owner) {}
  void setOwner(QWidget* owner) { owner_ = owner; }

  bool show(core::MessageKind kind, const std::string& caption, const std::string& text) override;

  /// The box of a message (Unicode texts), built and not shown.
  static std::unique_ptr<QMessageBox> makeBox(core::MessageKind kind, const QString& caption, const QString& text,
                                              QWidget* parent = nullptr);
  /// The text a box shows of `text` (Shift_JIS in, Unicode out).
  static QString shownText(core::MessageKind kind, const std::string& text);
  /// ZORVIK_ANSWER as an answer; empty when unset or neither yes nor no.
  static std::optional<bool> presetAnswer();

private:
  bool showHere(core::MessageKind kind, const std::string& caption, const std::string& text);

  QPointer<QWidget> owner_;
  core::UnattendedAnswer unattended_;
};

}  // namespace zorvik::ui
