/// \file
/// Gives a pane its key definitions: installed on the pane's widget, it
/// turns key presses into strokes and feeds them to the pane's dispatcher
/// before the widget (and the window's shortcuts) see them. A stroke that
/// runs a macro, or begins a two-stroke one, is taken; any other key goes
/// on to the widget as usual. Tab and Shift+Tab are caught here too, since
/// a widget hands them to focus changes before its own key handling.
#pragma once

#include <QObject>
#include <QWidget>
#include <QString>

#include <functional>

#include "view/KeyDispatcher.h"
#include "view/MacroTable.h"

namespace zorvik::ui {

class KeyMacroFilter : public QObject {
  Q_OBJECT

public:
  /// `table` must outlive the filter (the window keeps the tables).
  KeyMacroFilter(const view::MacroTable& table, QObject* parent = nullptr);

  /// A stroke that matched no macro: the window's accelerators get it
  /// before the widget; true when one ran.
  void setFallback(std::function<bool(const view::KeyStroke&)> fallback) { fallback_ = std::move(fallback); }

  /// Sends `qtKey` to `widget` as if pressed, past the definitions (the
  /// macros UP, PAGEDOWN, ... do what those keys do by default).
  void sendKey(QWidget* widget, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

signals:
  void macro(const QString& name);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  const view::MacroTable& table_;
  view::KeyDispatcher dispatcher_;
  std::function<bool(const view::KeyStroke&)> fallback_;
  bool passing_ = false;
};

}  // namespace zorvik::ui
