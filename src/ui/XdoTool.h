/// \file
/// The external editor's window as X11 sees it, reached through the
/// `xdotool` program: found by its title or by the process that owns it,
/// given the focus and sent keys as if typed. Only where an X display is
/// named ($DISPLAY) and xdotool is installed; otherwise available() is
/// false and the editor is followed through its file alone.
///
/// Every call runs xdotool once and waits at most a few seconds for it; a
/// window id is xdotool's decimal number.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zorvik::ui {

class XdoTool {
public:
  static bool available();
  /// The first visible window whose whole title matches `pattern` (a
  /// regular expression, as view::EditorWindowRules::titlePattern makes).
  static std::optional<QString> findByTitle(const QString& pattern);
  /// The first visible window of process `pid`.
  static std::optional<QString> findByProcess(qint64 pid);
  /// Focuses `window` and types `keys` (xdotool key names) into it.
  static bool sendKeys(const QString& window, const QStringList& keys);
  /// The process that owns `window`; 0 when it does not say.
  static qint64 ownerOf(const QString& window);

private:
  static std::optional<QString> run(const QStringList& arguments);
};

}  // namespace zorvik::ui
