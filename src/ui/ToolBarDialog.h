/// \file
/// The dialog "ツールボタンのカスタマイズ": a list of the main window's tool
/// bars; for the chosen one the strip "用意されているツールボタン" (the bar's
/// full set and a separator) and the strip "編集ツールボタン" (the bar's
/// sequence). Buttons are dragged from the full set into the sequence,
/// within it to reorder, and out of it (onto the upper strip) to remove;
/// "全体を表示する" shows or hides the bar. OK hands back every bar that
/// was looked at; Cancel nothing.
#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "view/CommandTable.h"
#include "view/ToolBarLayout.h"

class QCheckBox;
class QListWidget;

namespace zorvik::ui {

class ToolBarDialog : public QDialog {
  Q_OBJECT

public:
  struct BarChoice {
    std::vector<int> entries;  // view::ToolBarSequence entries
    bool shown = true;
  };

  /// `current` holds each bar's present sequence and visibility.
  ToolBarDialog(const view::CommandTable& commands, std::map<int, BarChoice> current, QWidget* parent = nullptr);

  /// The bars edited (all shown in the list), after OK.
  const std::map<int, BarChoice>& choices() const { return choices_; }

  QListWidget* barList() const { return bars_; }
  QListWidget* fullStrip() const { return full_; }
  QListWidget* sequenceStrip() const { return sequence_; }
  QCheckBox* showBox() const { return show_; }

  void accept() override;

private:
  void showBar(int row);
  void keepShownBar();
  const view::ToolBar& barAt(int row) const;

  const view::CommandTable& commands_;
  std::map<int, BarChoice> choices_;
  int shownRow_ = -1;
  QListWidget* bars_;
  QListWidget* full_;
  QListWidget* sequence_;
  QCheckBox* show_;
};

}  // namespace zorvik::ui
