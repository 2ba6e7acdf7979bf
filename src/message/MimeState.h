/// \file
/// The numbered states and part values of MIME decoding. The numbers are the
/// ones the decoder has always used, kept so that logs and tests can name
/// them.
#pragma once

namespace zorvik::message {

/// Where the decoder is in the received text.
enum class MimeState {
  mailHeader = 1,          ///< the mail's own header: interpreted and written
  firstBodyLine = 2,       ///< the first body line of a part: writes its reference line
  partBody = 3,            ///< body lines, boundary lines
  partHeader = 4,          ///< a part's header: interpreted, not written
  endOfMail = 5,           ///< the terminating "." or the end of the text
  attachedMailHeader = 6,  ///< header of a message/rfc822 part: Date, From, To, Subject written
};

/// The Content-Transfer-Encoding of the current part.
enum class TransferEncoding {
  sevenBit = 1,  ///< the default, and what any unknown encoding is taken as
  eightBit = 2,
  base64 = 3,
  quotedPrintable = 4,
};

/// What the Content-Type of the current part says about how to store it.
enum class ContentKind {
  multipart = 1,
  uuencode = 2,
  binHex = 3,
  textPlain = 4,     ///< the default
  otherText = 5,     ///< bare "text" and text/enriched: read inline too; other text types (HTML, CSV, calendars) are files
  partial = 6,       ///< message/partial: stored inline for joining later
  attachedMail = 7,  ///< message/rfc822: stored inline after a separator line
  encrypted = 8,     ///< multipart/encrypted: stored inline as it came
  other = 9,         ///< everything else: saved as a file
};

}  // namespace zorvik::message
