/// \file
/// The pictures of the tree and the list, drawn with QPainter so that they
/// need no image files: cabinets (icon 0), mails (2-7: addressed to the
/// user, sent by the user, other; each closed while unread and open once
/// read), trays (8 plus the system tray kind), the state images left of a
/// mail (marks 1-5, a paper clip for attachments) and the overlays (1 a
/// link, 2 a mail that links point at, 3 a link whose mail is gone). Also
/// the window icon, with a red dot while new mail waits.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace zorvik::ui {

class MailIcons {
public:
  /// A list picture: the state image (0 none) beside the icon with its
  /// overlay (0 none) drawn over it, `size` pixels high. With `stateSlot`
  /// the place of the state image is kept when there is none, so that the
  /// icons of a mail list stand in one column.
  static QPixmap item(int icon, int stateImage, int overlay, int size, bool stateSlot = true);
  /// The icon alone (tree nodes, tool bars).
  static QIcon icon(int icon);
  /// The window icon; `newMail` adds the new-mail dot.
  static QIcon windowIcon(bool newMail);
};

}  // namespace zorvik::ui
