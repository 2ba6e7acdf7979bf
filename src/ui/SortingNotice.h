/// \file
/// The notice of a manual sorting run that a mail was sorted into the tray
/// it is already in: titled "振り分け", the text "“<subject>”\n同じトレイ
/// 「<tray>」に振分けられました", the buttons "OK" and "すべて無視"; the second
/// keeps the rest of the run quiet (sorting::SortApplier counts on that).
///
/// Safe from any thread (sorting may run on a worker). Logged to UiLog as
/// a box of number 0 with the answer "ok" or "ignore"; with ZORVIK_ANSWER
/// set no notice is shown and the answer is "ok".
#pragma once

#include <QString>
#include <memory>

#include "sorting/SortApplier.h"

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace zorvik::ui {

class SortingNotice {
public:
  /// The notice for sorting::SortApplier, its boxes owned by `parent`.
  static sorting::SortApplier::SameTrayNotice notice(QWidget* parent = nullptr);

  /// The box for a mail (Unicode texts), built and not shown; the second
  /// button is "すべて無視".
  static std::unique_ptr<QMessageBox> makeBox(const QString& subject, const QString& tray, QWidget* parent = nullptr);
  /// "すべて無視" of a box makeBox built.
  static QAbstractButton* ignoreAllButton(const QMessageBox& box);

  /// Shows the notice on the application's thread; true for "すべて無視".
  /// Texts in Shift_JIS.
  static bool show(const std::string& subject, const std::string& tray, QWidget* parent);
};

}  // namespace zorvik::ui
