/// \file
/// Removes a stored mail's attachments from its text: every reference line
/// "@#MIME "..."" becomes a note "■消去された添付ファイル name" (a leading
/// "%:" removed), the header loses its "X-Zorvik-AttachDir: " line and its
/// Content-Type becomes "text/plain;", so the mail no longer claims a
/// folder. The files themselves are left where they are.
#pragma once

#include "message/MailLines.h"

namespace zorvik::message {

class AttachmentStripper {
public:
  /// `mail` without its attachments; `removed` counts the references.
  static MailLines strip(const MailLines& mail, int* removed = nullptr);
};

}  // namespace zorvik::message
