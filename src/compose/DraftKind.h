/// \file
/// What a draft is begun as: the kinds the compose window and the
/// preparation of its first text know, numbered as the window's title and
/// the tray's templates count them.
#pragma once

namespace zorvik::compose {

enum class DraftKind : int {
  New = 1,       ///< a new mail
  ReplyAll = 2,  ///< a reply to the sender and every recipient
  Reply = 3,     ///< a reply to the sender only
  Forward = 4,
  Addition = 5,  ///< a follow-up to a mail the user sent ("PS:")
  Copy = 6,      ///< the user's own mail taken up again for editing
};

constexpr bool isReply(DraftKind kind) { return kind == DraftKind::ReplyAll || kind == DraftKind::Reply; }

}  // namespace zorvik::compose
