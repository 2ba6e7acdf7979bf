#include "view/ToolBarLayout.h"

#include "view/CommandId.h"

namespace zorvik::view {

const std::vector<ToolBar>& toolBars() {
  using namespace cmd;
  static const std::vector<ToolBar> kBars = {
      {kFileBar, {kNewCabinet, kNewTray, 0, kDelete, kRename, 0, kSaveAsText, kPrint}, true, false},
      {kEditBar, {kCut, kCopy, kPaste, 0, kFind, kFindNext}, false, false},
      {kMoveBar, {kHistoryBack, kHistoryForward, kGoUp, 0, kPreviousRow, kNextRow, kGoToUnread, kReadOn}, true, false},
      {kViewBar, {kLargeIcons, kSmallIcons, kListMode, kDetails, kThreadDisplay, 0, kRefresh}, false, false},
      {kMailBar, {kNewMail, kReply, kReplyToSender, kForward, 0, kSortIntoTrays, kMarkOpened, kMarkUnread}, true, false},
      {kServerBar, {kSendReceive, kSend, kReceive, kHeaderReceive, kSendReceiveAll}, true, false},
      {kBriskoBar,
       {kSendReceive, kNewMail, kReply, kForward, 0, kHistoryBack, kHistoryForward, kGoToUnread, 0, kDelete,
        kEmptyTrash},
       false, true},
  };
  return kBars;
}

}  // namespace zorvik::view
