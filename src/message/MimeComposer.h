/// \file
/// Turns a draft as the unsent tray keeps it (Shift_JIS header lines, one
/// value a line, and body lines with tag commands) into the two files the
/// SMTP session sends one after the other: a header file and a body file,
/// both 7-bit ISO-2022-JP text with CR LF line ends.
///
/// Header values go out as encoded words. Attachments named by "@#MIME "
/// become base64 parts (57 bytes a line) of a multipart/mixed message, or,
/// for a ".txt" file when text files are expanded, lines of the text part;
/// "@#UUENCODE " files become x-uuencode parts. The multipart preamble and
/// the first text part's header close the header file, so the body file
/// starts with the mail's first text line.
///
/// The boundary of a multipart mail is a fixed stem and a random part chosen
/// anew for each mail, checked against every text line the mail carries (its
/// own lines and those of text files sent inline): a body or a text file that
/// holds an earlier mail's source, boundary lines included, cannot end a part
/// early. Base64 and uuencoded lines never begin with "--" and a lower-case
/// letter, so they cannot hold it.
///
/// A file name that is not plain ASCII goes out twice: as encoded words in
/// the quoted name parameters, and as an RFC 2231 "filename*" parameter in
/// UTF-8, which readers that ignore encoded words in parameters understand.
///
/// Both files are dot-stuffed: the session sends them byte for byte, and a
/// line that is just "." (even in the header file, say from "@#HEADER .")
/// would end the mail there and turn the rest into SMTP commands.
///
/// Nothing read from the draft can add a header line: CR, LF and NUL in a
/// value become spaces, and a Bcc line (any letter case, also one given by
/// "@#HEADER ") never reaches the header file. Half-width katakana, which
/// ISO-2022-JP cannot carry, go out in their full-width forms.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "message/ByteSink.h"
#include "message/HeaderReader.h"
#include "message/TagCommand.h"

namespace zorvik::message {

struct ComposeOptions {
  /// Off: files are not attached; each "@#MIME " and "@#UUENCODE " line is
  /// sent as a text line naming the file instead (a second transmission to
  /// recipients who get no attachments).
  bool attachments = true;
  /// A ".txt" file named by "@#MIME " is sent as lines of the text part
  /// rather than as a base64 part (settings item 511).
  bool expandTextFiles = true;
  /// Gives the random part of a boundary, once per try; empty means a fresh
  /// random part from the system (tests fix it).
  std::function<std::string()> boundaryPart;
};

class MimeComposer {
public:
  /// The fixed beginning of every boundary; "_" and the random part follow.
  static constexpr std::string_view kBoundaryStem = "zyxwvutsrqponmlkljihgfedcba";

  /// Messages shown: 41100 an attachment cannot be opened, 41101 a work
  /// file cannot be created, 41124 out of memory, 41125 a write failed.
  MimeComposer(ComposeOptions options, core::Messages& messages) : options_(options), messages_(messages) {}

  /// Composes `draft` (its separator line is not used) into the two files,
  /// created or truncated. False after a message was shown; both files are
  /// removed then, and the mail stays unsent.
  bool composeFiles(const MailLines& draft, std::string_view headerPath, std::string_view bodyPath);

  /// The same into two sinks. On failure the sinks hold part of the mail.
  bool compose(const MailLines& draft, ByteSink& header, ByteSink& body);

  /// The boundary the last compose used.
  const std::string& boundary() const { return boundary_; }

private:
  std::string chooseBoundary(const MailLines& draft) const;
  bool isInText(const MailLines& draft, std::string_view candidate) const;
  void composeHeaderLines(const MailLines& draft);
  bool composeBody(const MailLines& draft);
  bool composeLine(const std::string& line);
  void addHeaderLine(std::string_view line, std::string& to);
  bool textLine(std::string_view sjis);
  bool attachmentNote(const TagCommand& command);
  bool attachBase64(const TagCommand& command);
  bool includeTextFile(const TagCommand& command);
  bool attachUuencoded(const TagCommand& command);
  bool reopenTextPart();
  bool openAttachmentPart(std::string_view contentType, std::string_view fileName, std::string_view encoding);
  bool writeBodyLines(std::string_view text);
  bool writeBodyLine(std::string_view line);
  bool writeBody(std::string_view bytes);
  bool finishHeader(ByteSink& header);
  bool missingFile(const TagCommand& command);

  ComposeOptions options_;
  core::Messages& messages_;
  ByteSink* body_ = nullptr;
  std::string boundary_;
  std::string header_;
  std::string extraHeader_;
  bool multipart_ = false;
  bool reopenText_ = false;
  bool writeFailed_ = false;
};

}  // namespace zorvik::message
