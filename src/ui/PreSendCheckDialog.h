/// \file
/// Shown before a draft is queued when its subject or text holds characters
/// that will not arrive as written (compose::SendCharacterCheck): each with
/// its line and column, the character and what becomes of it. "送信する"
/// sends anyway; "本文に戻る" goes back to the text, at the first finding.
/// With ZORVIK_ANSWER set the dialog is not shown and the answer taken.
#pragma once

#include <QDialog>

#include <vector>

#include "compose/SendCharacterCheck.h"

namespace zorvik::ui {

class PreSendCheckDialog : public QDialog {
  Q_OBJECT

public:
  PreSendCheckDialog(const std::vector<compose::CharacterFinding>& findings, QWidget* parent = nullptr);

  /// Whether to send; logs the answer to UiLog.
  static bool confirm(const std::vector<compose::CharacterFinding>& findings, QWidget* parent);
  /// The text of one finding as the list and the log show it.
  static QString describe(const compose::CharacterFinding& finding);
};

}  // namespace zorvik::ui
