#include "ui/KeyMacroFilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include "ui/KeyStrokes.h"

namespace zorvik::ui {

KeyMacroFilter::KeyMacroFilter(const view::MacroTable& table, QObject* parent)
    : QObject(parent), table_(table), dispatcher_(table) {}

bool KeyMacroFilter::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (passing_ || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride))
    return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const auto stroke = strokeOf(*key);
  if (!stroke) return false;
  if (type == QEvent::ShortcutOverride) {
    // Tell the shortcut machinery that this key is ours when a macro (or
    // the middle of a two-stroke one) wants it; the press comes next.
    view::KeyDispatcher probe = dispatcher_;
    if (probe.press(*stroke).outcome != view::KeyDispatcher::Outcome::Unhandled) event->accept();
    return false;
  }
  const auto result = dispatcher_.press(*stroke);
  switch (result.outcome) {
    case view::KeyDispatcher::Outcome::Run:
      emit macro(QString::fromLatin1(table_[result.macro].name.c_str()));
      return true;
    case view::KeyDispatcher::Outcome::Wait: return true;
    case view::KeyDispatcher::Outcome::Unhandled: return fallback_ && fallback_(*stroke);
  }
  return false;
}

}  // namespace zorvik::ui

namespace zorvik::ui {

void KeyMacroFilter::sendKey(QWidget* widget, int qtKey, Qt::KeyboardModifiers modifiers) {
  passing_ = true;
  QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers);
  QCoreApplication::sendEvent(widget, &release);
  passing_ = false;
}

}  // namespace zorvik::ui
