#include "ui/ToolBarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QWidget>
#include <map>

#include "view/CommandId.h"

namespace zorvik::ui {
namespace {

namespace cmd = view::cmd;

struct IconSource {
  const char* theme;  // freedesktop icon name
  QStyle::StandardPixmap fallback;
  bool hasFallback;
};

const std::map<int, IconSource>& iconSources() {
  static const std::map<int, IconSource> sources = {
      {cmd::kNewCabinet, {"folder-new", QStyle::SP_FileDialogNewFolder, true}},
      {cmd::kNewTray, {"document-new", QStyle::SP_FileIcon, true}},
      {cmd::kDelete, {"edit-delete", QStyle::SP_TrashIcon, true}},
      {cmd::kRename, {"edit-rename", QStyle::SP_FileDialogDetailedView, false}},
      {cmd::kSaveAsText, {"document-save-as", QStyle::SP_DialogSaveButton, true}},
      {cmd::kPrint, {"document-print", QStyle::SP_ComputerIcon, false}},
      {cmd::kCut, {"edit-cut", QStyle::SP_DialogDiscardButton, false}},
      {cmd::kCopy, {"edit-copy", QStyle::SP_FileLinkIcon, false}},
      {cmd::kPaste, {"edit-paste", QStyle::SP_DialogApplyButton, false}},
      {cmd::kFind, {"edit-find", QStyle::SP_FileDialogContentsView, true}},
      {cmd::kFindNext, {"go-down-search", QStyle::SP_ArrowDown, true}},
      {cmd::kHistoryBack, {"go-previous", QStyle::SP_ArrowBack, true}},
      {cmd::kHistoryForward, {"go-next", QStyle::SP_ArrowForward, true}},
      {cmd::kGoUp, {"go-up", QStyle::SP_FileDialogToParent, true}},
      {cmd::kPreviousRow, {"go-up", QStyle::SP_ArrowUp, true}},
      {cmd::kNextRow, {"go-down", QStyle::SP_ArrowDown, true}},
      {cmd::kGoToUnread, {"mail-unread", QStyle::SP_MediaSkipForward, true}},
      {cmd::kReadOn, {"go-jump", QStyle::SP_MediaSeekForward, true}},
      {cmd::kLargeIcons, {"view-list-icons", QStyle::SP_FileDialogListView, true}},
      {cmd::kSmallIcons, {"view-list-icons", QStyle::SP_FileDialogListView, true}},
      {cmd::kListMode, {"view-list-text", QStyle::SP_FileDialogListView, true}},
      {cmd::kDetails, {"view-list-details", QStyle::SP_FileDialogDetailedView, true}},
      {cmd::kThreadDisplay, {"view-list-tree", QStyle::SP_DirOpenIcon, true}},
      {cmd::kRefresh, {"view-refresh", QStyle::SP_BrowserReload, true}},
      {cmd::kNewMail, {"mail-message-new", QStyle::SP_FileIcon, true}},
      {cmd::kReply, {"mail-reply-all", QStyle::SP_ArrowLeft, true}},
      {cmd::kReplyToSender, {"mail-reply-sender", QStyle::SP_ArrowLeft, true}},
      {cmd::kForward, {"mail-forward", QStyle::SP_ArrowRight, true}},
      {cmd::kSortIntoTrays, {"mail-move", QStyle::SP_DirIcon, true}},
      {cmd::kMarkOpened, {"mail-mark-read", QStyle::SP_DialogYesButton, true}},
      {cmd::kMarkUnread, {"mail-mark-unread", QStyle::SP_DialogNoButton, true}},
      {cmd::kSendReceive, {"mail-send-receive", QStyle::SP_BrowserReload, true}},
      {cmd::kSend, {"mail-send", QStyle::SP_ArrowUp, true}},
      {cmd::kReceive, {"mail-receive", QStyle::SP_ArrowDown, true}},
      {cmd::kHeaderReceive, {"mail-receive", QStyle::SP_FileDialogInfoView, true}},
      {cmd::kSendReceiveAll, {"mail-send-receive", QStyle::SP_DriveNetIcon, true}},
      {cmd::kEmptyTrash, {"edit-clear", QStyle::SP_TrashIcon, true}},
  };
  return sources;
}

// A round badge with the text's first character, in the palette's colours.
QIcon badge(const QString& text, const QWidget& widget) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(widget.palette().color(QPalette::Highlight));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(2, 2, 28, 28), 7, 7);
  painter.setPen(widget.palette().color(QPalette::HighlightedText));
  QFont font = widget.font();
  font.setPixelSize(17);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, text.left(1));
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

QIcon toolBarIcon(int command, const QString& text, const QWidget& widget) {
  const auto source = iconSources().find(command);
  if (source == iconSources().end()) return badge(text, widget);
  const QIcon fallback = source->second.hasFallback ? widget.style()->standardIcon(source->second.fallback)
                                                    : badge(text, widget);
  return QIcon::fromTheme(QString::fromLatin1(source->second.theme), fallback);
}

}  // namespace zorvik::ui
