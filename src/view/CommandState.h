/// \file
/// What the main window knows at a moment about its selection, focus and
/// running work: everything a command's enabling or check rule may look
/// at. The window fills one before showing a menu or updating its bars.
#pragma once

#include <cstdint>

namespace zorvik::view {

/// Bits of the selection word the window reports to every command.
namespace selection {
inline constexpr std::uint32_t kCabinet = 0x0001;
inline constexpr std::uint32_t kMail = 0x0004;
inline constexpr std::uint32_t kTreeFocus = 0x0080;
inline constexpr std::uint32_t kListFocus = 0x0100;
inline constexpr std::uint32_t kSeveralMails = 0x0800;
}  // namespace selection

enum class Focus { Tree, List, Text, Other };

struct CommandState {
  Focus focus = Focus::Other;

  // The tree node selected (or the list's cabinet/tray row when the list
  // has the focus on one).
  bool nodeSelected = false;
  bool nodeIsCabinet = false;
  bool nodeIsTopCabinet = false;
  int nodeTrayKind = 0;  // system tray kind, 0 an ordinary tray

  // The tray the list shows, and the mails selected in it.
  bool trayShown = false;
  int shownTrayKind = 0;
  bool listHasRows = false;
  int mailsSelected = 0;
  bool selectedMailIsLink = false;
  bool selectedMailHasAttachments = false;

  bool textShown = false;          // the text pane shows a mail
  bool textHasSelection = false;

  bool historyBack = false;
  bool historyForward = false;
  bool holdingFilled = false;  // something was cut or copied

  bool commandRunning = false;      // a send/receive or server command
  bool popConnectionActive = false;
  bool sortingRunning = false;

  // Check marks.
  int viewMode = 1;
  bool threadDisplay = false;
  std::uint32_t visibleBars = 0;  // bit n: bar kFirstToolBar + n
  bool searchBarVisible = false;
  bool markBarVisible = false;
  bool statusBarVisible = true;
  bool offline = false;

  /// The selection word of this state.
  std::uint32_t selectionWord() const {
    std::uint32_t word = 0;
    if (focus == Focus::Tree) word |= selection::kTreeFocus;
    if (focus == Focus::List) word |= selection::kListFocus;
    if (nodeIsCabinet && focus != Focus::List) word |= selection::kCabinet;
    if (mailsSelected > 0 && focus != Focus::Tree) word |= selection::kMail;
    if (mailsSelected > 1 && focus != Focus::Tree) word |= selection::kSeveralMails;
    return word;
  }
  /// Mails are what a command acts on (the list has the focus on mails).
  bool actsOnMails() const { return focus != Focus::Tree && mailsSelected > 0; }
  bool oneMail() const { return actsOnMails() && mailsSelected == 1; }
};

}  // namespace zorvik::view
