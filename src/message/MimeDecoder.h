/// \file
/// Turns one received mail (the POP3 form: CR LF line ends, dot-stuffed,
/// ending with the line ".") into the text stored for it: the mail's own
/// header lines, a line "X-Zorvik-AttachDir: " naming the mail's attachment
/// folder, text parts inline, attached mails inline after a separator line,
/// and every other part saved as a file in the attachment folder and
/// replaced by a reference line "@#MIME \"%:name\"".
///
/// Bad mail never makes decoding fail: unknown types are saved as files,
/// unknown encodings are taken as 7bit, a boundary that never closes leaves
/// the rest in the current part, nesting of any depth costs only a string a
/// level. Decoding fails (false) only when an attachment or a temporary file
/// cannot be created (the numbered message has been shown then) or the
/// stored text cannot be written; the caller then abandons the mail and
/// deletes the files the decoder lists in savedFiles().
///
/// Lines of the mail that begin with "From " or "@#" are stored with ">" in
/// front (MimeOutputSink): only Zorvik's own reference lines begin with
/// "@#", so no received line is ever taken for a tag command.
///
/// Every state of a decode is the decoder's own (its saved files, its
/// folder), so decoders on several threads never touch each other's files.
///
/// Header lines and attachment names sent as raw UTF-8 are converted to
/// Shift_JIS here, once, as the mail comes in (RawHeaderText); the stored
/// text is not taken through that rule again when it moves into a tray.
///
/// Names of attachments come from the mail and are made safe before use
/// (AttachmentName): nothing is ever written outside the mail's folder,
/// except the temporary file of an expanded text attachment, which lies in
/// the work directory under a name of our own.
#pragma once

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "message/AttachmentFolderNumbers.h"
#include "message/ByteSink.h"
#include "message/DecodePipeline.h"
#include "message/FileByteSink.h"
#include "message/MimeCharsetSink.h"
#include "message/MimeOutputSink.h"
#include "message/MimeState.h"
#include "message/SavedFileList.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message {

/// What decoding depends on besides the mail.
struct MimeDecoderSettings {
  std::string attachmentRoot;          ///< where the mails' folders are made
  std::string workDirectory;           ///< for the temporary file of an expanded text attachment
  bool expandTextAttachments = true;   ///< text attachments are stored inline (item 705)
  bool dropAttachments = false;        ///< attachments are not saved at all (item 709)
  int zoneHours = 9;                   ///< the user's zone, for dating the folder

  /// The values of the personal settings, for a mail going into a tray of
  /// the store (attachment root ".inc" in the top cabinet).
  static MimeDecoderSettings fromSettings(const core::SettingsFile& settings);
};

class MimeDecoder {
public:
  /// Result bits.
  static constexpr std::uint32_t kExpandedOrDropped = 0x1;  ///< a part was expanded into the text or not saved
  static constexpr std::uint32_t kFileSaved = 0x2;          ///< a part was saved as a file

  MimeDecoder(MimeDecoderSettings settings, core::Messages& messages);
  /// A decoder that takes its attachment folder through `folderNumbers`,
  /// which the caller keeps over the mails of one receive.
  MimeDecoder(MimeDecoderSettings settings, core::Messages& messages, AttachmentFolderNumbers& folderNumbers);
  ~MimeDecoder();
  MimeDecoder(const MimeDecoder&) = delete;
  MimeDecoder& operator=(const MimeDecoder&) = delete;

  /// Decodes `received` and appends the stored text to `output` (nothing
  /// when decoding fails). One decoder serves one mail.
  bool decode(ByteSink& output, std::string_view received);

  std::uint32_t resultBits() const { return resultBits_; }
  /// Some part was not saved (item 709) or could not be written whole: the
  /// mail should stay on the server when the user asked for that.
  bool mailNotComplete() const { return mailNotComplete_; }
  /// The files saved so far; the caller deletes them when it does not store
  /// the mail after all.
  SavedFileList& savedFiles() { return savedFiles_; }
  /// The attachment folder's name, when one was made and kept.
  const std::string& folderName() const { return folderName_; }
  /// The Message-Id of the mail, or of the last attached mail or part that
  /// carried one (without the angle brackets).
  const std::string& messageId() const { return messageId_; }
  /// Problems met in parts that were still decoded (BinHex CRC mismatches),
  /// in order, for the caller to show: the decoder itself never stops at them.
  const std::vector<DecodeWarning>& warnings() const { return warnings_; }

  /// A mail as read from a file (LF or CR LF line ends, with or without the
  /// final ".") in the form a POP3 server sends it: CR LF line ends,
  /// dot-stuffed unless it already ends with the line ".", then ".".
  static std::string wireForm(std::string_view mail);

private:
  enum class Target { none, inlineText, file, expanded, dropped };

  // One multipart level the decoder is inside, the outermost first.
  struct Multipart {
    std::string boundary;       // "--" + the boundary parameter
    bool alternative = false;   // multipart/alternative
    bool boundarySeen = false;  // its first boundary line has come
    bool hasText = false;       // a part inside it was stored as text
    std::string preamble;       // the lines before its first boundary
    std::string rendering;      // HTML rendered as text, held until the level ends
  };

  std::string_view nextLine(std::string_view text, std::size_t& at);
  void handleLine(std::string_view line);
  void writeHeaderLine(std::string_view line);
  void handleAttachedMailHeaderLine(std::string_view line);
  void handleBodyLine(std::string_view line);
  std::optional<std::size_t> boundaryLevel(std::string_view line) const;
  void interpret(std::string_view line);
  void interpretContentType(std::string_view value);
  void takeName(std::string_view value);
  void endOfHeader();
  void pushBoundary(const std::string& boundary, bool alternative);
  bool openPartFile();
  bool openExpandedText();
  bool saveAsFile();
  bool ensureFolder();
  void writeReference();
  void writeBody(std::string_view line);
  void feed(std::string_view line);
  ByteSink& partSink();
  void finishPart(bool atBoundary);
  void abandonPart();
  void copyExpandedText();
  void saveExpandedAsFile(std::string_view bytes);
  void markText();
  void renderHtml();
  void placeRendering(std::string text);
  void closeInnermost();
  void resetPart();
  void finishMail();
  void correctHeader();
  void write(std::string_view text) { output_.write(text); }

  MimeDecoderSettings settings_;
  core::Messages& messages_;
  AttachmentFolderNumbers ownFolderNumbers_;
  AttachmentFolderNumbers& folderNumbers_;
  SavedFileList savedFiles_;

  MimeState state_ = MimeState::mailHeader;
  TransferEncoding encoding_ = TransferEncoding::sevenBit;
  ContentKind kind_ = ContentKind::textPlain;
  TransferKind transfer_ = TransferKind::none;
  CharsetKind charset_ = CharsetKind::none;
  OutputKind outputKind_ = OutputKind::binary;
  std::string charsetName_;

  MimeOutputSink output_;
  Target target_ = Target::none;
  std::unique_ptr<FileByteSink> partFile_;
  std::unique_ptr<MimeCharsetSink> charsetSink_;
  std::unique_ptr<DecodePipeline> pipeline_;
  bool mimeVersion_ = false;
  bool failed_ = false;

  int namelessParts_ = 0;
  std::string partName_;
  std::string contentTypeText_;
  std::string savedName_;
  std::string savedPath_;
  bool partHasBoundary_ = false;        // the part's header opened a multipart level
  bool namelessPart_ = false;           // the part's name is one of ours (__NONAME_...)
  std::size_t partTextStart_ = 0;       // where an inline part's text begins in the output
  // The part's last line so far, held back: its line end may belong to a
  // boundary. It views the received text, or pendingCopy_.
  std::optional<std::string_view> pendingLine_;
  std::string pendingCopy_;
  std::string messageId_;
  std::string dateText_;

  std::optional<std::size_t> contentTypeAt_;  // top-level Content-Type line in the output
  std::optional<std::size_t> headerEndAt_;    // where the folder line goes
  std::uint32_t resultBits_ = 0;
  bool mailNotComplete_ = false;
  std::string tempTextPath_;
  std::string folderName_;
  std::string folderPath_;

  std::vector<Multipart> multiparts_;

  std::vector<DecodeWarning> warnings_;
  std::string lineScratch_;
  bool atTerminator_ = false;  // the line just read is the server's end-of-mail "."
};

}  // namespace zorvik::message
