/// \file
/// What a MIME charset name means for the decoder: which charsets the
/// decode pipeline converts itself (ISO-2022-JP, UTF-8), which are Shift_JIS
/// already (or plain ASCII) and pass unchanged, and which others are
/// converted to Shift_JIS through iconv (EUC-JP, ISO-8859-*, windows-125*,
/// KOI8-R, GB2312, ...), characters code page 932 lacks becoming the geta
/// mark.
#pragma once

#include "message/CharsetConverter.h"

#include <string>
#include <string_view>

namespace zorvik::message {

class MimeCharset {
public:
  /// The pipeline's converter for `charset`: ISO-2022-JP and UTF-8 (any
  /// letter case); none for everything else.
  static CharsetKind pipelineKind(std::string_view charset);

  /// True when text in `charset` is stored as it is: Shift_JIS and its
  /// aliases (CP932, Windows-31J, ...), US-ASCII, and no charset at all.
  static bool passesUnchanged(std::string_view charset);

  /// True when the pipeline leaves text in `charset` as it is but it still
  /// needs converting to Shift_JIS (the iconv charsets).
  static bool needsIconv(std::string_view charset);

  /// `bytes` in `charset` as Shift_JIS, by whichever of the ways above
  /// applies. A charset nobody knows leaves the bytes as they are.
  static std::string toSjis(std::string_view charset, std::string_view bytes);
};

}  // namespace zorvik::message
