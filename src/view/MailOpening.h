/// \file
/// What opening a list row does (double click, Enter) and when a shown mail
/// counts as opened.
///
/// Opening a cabinet or tray row selects it in the tree. Opening a mail: in
/// the mail server tray, or when the settings say so (item 304 = 1), its
/// property dialog; in the drafts tray a new mail from it; with item 304 =
/// 2 a reply to it; otherwise its text in the separate text window.
///
/// A mail selected in the list is marked opened after the settings' delay
/// (item 308 seconds; 0 at once, a negative value never), unless it was
/// written by the user, and only when exactly one row is selected and the
/// list pane is tall enough to be read (more than 30 pixels).
#pragma once

#include <chrono>
#include <optional>

namespace zorvik::view {

enum class OpenAction { SelectNode, MailProperties, ComposeFromDraft, Reply, TextWindow };

/// The action of opening a row; `isMail` false for cabinets and trays.
OpenAction openAction(bool isMail, int trayKind, int doubleClickSetting);

/// The delay before a selected mail is marked opened; empty for never.
std::optional<std::chrono::milliseconds> openDelay(int seconds);

/// Whether a fired open-timer marks the mail: one row selected, the pane
/// higher than 30 pixels.
bool openTimerMarks(int selectedRows, int listPaneHeight);

/// Whether selecting a mail with this list icon starts the open-timer (the
/// user's own mails, icons 4 and 5, do not).
bool startsOpenTimer(int icon);

}  // namespace zorvik::view
