#include "message/MimeComposer.h"

#include <fstream>
#include <new>
#include <random>

#include "message/Base64.h"
#include "message/ExtensionTable.h"
#include "message/FileByteSink.h"
#include "message/HalfWidthKana.h"
#include "message/HeaderEncoder.h"
#include "message/HeaderFolding.h"
#include "message/JapaneseCodec.h"
#include "core/SjisText.h"
#include "message/OutgoingText.h"
#include "message/Uuencode.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {

using core::MessageNumber;

namespace {

constexpr std::string_view kTextPartHeader =
    "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n"
    "Content-Transfer-Encoding: 7bit\r\n";
// Whole base64 lines are read at a time, so a 50 MB file never sits in memory.
constexpr std::size_t kBase64Block = 57 * 1024;

const std::string& attachmentNoteText() {
  static const std::string text = platform::utf8ToSjis("■添付ファイル ");
  return text;
}

// Lines the composer writes itself or that must never leave: Zorvik's own
// lines (as written, in their case), and the MIME lines and blind copies in
// any case, so that "bcc:" cannot slip through where "Bcc:" would not.
bool isLeftOut(std::string_view line) {
  for (const std::string_view own : {"Zorvik: ", "X-Zorvik-", "KRDX: "}) {
    if (line.starts_with(own)) return true;
  }
  for (const std::string_view name : {"Content-Type:", "Content-Transfer-Encoding:", "Mime-Version:", "Bcc:",
                                      "Resent-Bcc:"}) {
    if (core::startsWithIgnoringAsciiCase(line, name)) return true;
  }
  return false;
}

// The body text of one draft line in ISO-2022-JP.
std::string jisLine(std::string_view sjis) { return sevenBit(sjisToJis(hankanaToZenkana(singleLine(sjis)))); }

// The file name with control characters, possible in Linux file names,
// made "_", so the name cannot break its header line.
std::string safeFileName(std::string_view fileName) {
  std::string safe(fileName);
  for (char& c : safe) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  }
  return safe;
}

// A file name as the mail carries it: encoded words for the Japanese in it,
// never folded (it stands inside quotes).
std::string encodedFileName(std::string_view fileName) {
  return sevenBit(sjisToJis(hankanaToZenkana(safeFileName(fileName)), JisRuns::encodedWords));
}

bool isTextFile(std::string_view extension) { return core::equalsIgnoringAsciiCase(extension, ".txt"); }

// Tries before a boundary is taken as it is: a random part meets the text
// by chance about never, and a fixed part given by a test runs out here.
constexpr int kBoundaryTries = 64;

std::string randomBoundaryPart() {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::random_device device;
  std::string part;
  for (int i = 0; i < 4; ++i) {
    const std::uint32_t bits = device();
    for (int shift = 0; shift < 32; shift += 8) part += kDigits[(bits >> shift) & 0xF];
  }
  return part;
}

// A byte RFC 2231 lets stand for itself in an extended parameter value.
bool isAttributeChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

// Longest stretch of a percent-encoded value on one header line.
constexpr std::size_t kExtendedSegment = 60;

// ";\r\n filename*=UTF-8''..." for a name that is not plain ASCII, cut into
// numbered continuations (never inside a "%XX") when it is long; empty for
// an ASCII name, which the quoted parameter carries as it is.
std::string extendedFileName(std::string_view safeName) {
  if (platform::isAscii(safeName)) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::vector<std::string> segments(1);
  for (const unsigned char c : platform::sjisToUtf8(hankanaToZenkana(safeName))) {
    std::string piece(1, static_cast<char>(c));
    if (!isAttributeChar(c)) piece = {'%', kHex[c >> 4], kHex[c & 0xF]};
    if (segments.back().size() + piece.size() > kExtendedSegment) segments.emplace_back();
    segments.back() += piece;
  }
  if (segments.size() == 1) return ";\r\n filename*=UTF-8''" + segments.front();
  std::string parameter;
  for (std::size_t i = 0; i < segments.size(); ++i)
    parameter += ";\r\n filename*" + std::to_string(i) + "*=" + (i == 0 ? "UTF-8''" : "") + segments[i];
  return parameter;
}

}  // namespace

bool MimeComposer::composeFiles(const MailLines& draft, std::string_view headerPath, std::string_view bodyPath) {
  bool composed = false;
  {
    FileByteSink header(headerPath, FileByteSink::Mode::truncate);
    if (!header.isOpen()) {
      messages_.error(MessageNumber::TemporaryFileNotCreated, {headerPath});
    } else {
      FileByteSink body(bodyPath, FileByteSink::Mode::truncate);
      if (!body.isOpen()) {
        messages_.error(MessageNumber::TemporaryFileNotCreated, {bodyPath});
      } else if (compose(draft, header, body)) {
        composed = body.close() && header.close();
        if (!composed) messages_.error(MessageNumber::DiskFull);
      }
    }
  }
  if (composed) return true;
  platform::removeFile(headerPath);
  platform::removeFile(bodyPath);
  return false;
}

std::string MimeComposer::chooseBoundary(const MailLines& draft) const {
  std::string candidate;
  for (int tries = 0; tries < kBoundaryTries; ++tries) {
    const std::string part = options_.boundaryPart ? options_.boundaryPart() : randomBoundaryPart();
    candidate = std::string(kBoundaryStem) + "_" + part;
    if (!isInText(draft, candidate)) break;
  }
  return candidate;
}

// Whether `candidate` occurs in a line the body will carry as text: the
// draft's text lines (tag lines that are not sent as files included) and
// the text files sent inline.
bool MimeComposer::isInText(const MailLines& draft, std::string_view candidate) const {
  for (const std::string& line : draft.body) {
    const TagCommand command = TagCommand::parse(line);
    if (command.kind == TagCommand::Kind::header) continue;
    const bool sentAsFile = command.kind != TagCommand::Kind::text && options_.attachments;
    if (!sentAsFile) {
      if (line.find(candidate) != std::string::npos) return true;
      continue;
    }
    const bool sentInline = command.kind == TagCommand::Kind::mime && options_.expandTextFiles &&
                        isTextFile(command.extension);
    const auto content = sentInline ? platform::readFile(command.path) : std::nullopt;
    if (content && content->find(candidate) != std::string::npos) return true;
  }
  return false;
}

bool MimeComposer::compose(const MailLines& draft, ByteSink& header, ByteSink& body) {
  body_ = &body;
  boundary_ = chooseBoundary(draft);
  header_.clear();
  extraHeader_.clear();
  multipart_ = false;
  reopenText_ = false;
  writeFailed_ = false;
  try {
    composeHeaderLines(draft);
    if (!composeBody(draft)) return false;
    if (multipart_ && !writeBody("--" + boundary_ + "--\r\n")) return false;
    return finishHeader(header);
  } catch (const std::bad_alloc&) {
    messages_.error(MessageNumber::OutOfMemory);
    return false;
  }
}

void MimeComposer::composeHeaderLines(const MailLines& draft) {
  for (std::size_t i = 0; i < draft.header.size(); ++i) {
    const std::string& line = draft.header[i];
    if (i == 0 && line.starts_with("From ")) continue;
    if (!isLeftOut(line)) addHeaderLine(line, header_);
  }
}

void MimeComposer::addHeaderLine(std::string_view line, std::string& to) {
  std::string encoded = sevenBit(HeaderEncoder::encode(hankanaToZenkana(singleLine(line))));
  if (encoded.empty()) return;
  if (encoded.size() >= HeaderFolding::kLineLimit) encoded = HeaderFolding::foldAddressLine(encoded);
  if (encoded.front() == '.') to += '.';
  to += encoded;
  to += "\r\n";
}

bool MimeComposer::composeBody(const MailLines& draft) {
  for (const std::string& line : draft.body) {
    if (!composeLine(line)) return false;
  }
  return true;
}

bool MimeComposer::composeLine(const std::string& line) {
  const TagCommand command = TagCommand::parse(line);
  switch (command.kind) {
    case TagCommand::Kind::mime:
      if (!options_.attachments) return attachmentNote(command);
      if (options_.expandTextFiles && isTextFile(command.extension)) return includeTextFile(command);
      return attachBase64(command);
    case TagCommand::Kind::uuencode:
      // Recipients who are to get no attachments get no uuencoded file either.
      if (!options_.attachments) return attachmentNote(command);
      return attachUuencoded(command);
    case TagCommand::Kind::header:
      if (!isLeftOut(command.argument)) addHeaderLine(command.argument, extraHeader_);
      return true;
    case TagCommand::Kind::text:
      break;
  }
  return textLine(line);
}

bool MimeComposer::textLine(std::string_view sjis) { return reopenTextPart() && writeBodyLine(jisLine(sjis)); }

bool MimeComposer::attachmentNote(const TagCommand& command) {
  return textLine(attachmentNoteText() + command.argument);
}

bool MimeComposer::reopenTextPart() {
  if (!reopenText_) return true;
  reopenText_ = false;
  return writeBody("\r\n--" + boundary_ + "\r\n" + std::string(kTextPartHeader) + "\r\n");
}

bool MimeComposer::missingFile(const TagCommand& command) {
  messages_.error(MessageNumber::AttachmentNotOpened, {command.path});
  return false;
}

bool MimeComposer::includeTextFile(const TagCommand& command) {
  if (!platform::isRegularFile(command.path)) return missingFile(command);
  const auto content = platform::readFile(command.path);
  if (!content) return missingFile(command);
  if (!reopenTextPart() || !writeBodyLine(jisLine("-------- " + command.fileName + " --------"))) return false;
  std::string_view rest = *content;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!writeBodyLine(jisLine(line))) return false;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return writeBody("\r\n");
}

bool MimeComposer::openAttachmentPart(std::string_view contentType, std::string_view fileName,
                                      std::string_view encoding) {
  multipart_ = true;
  reopenText_ = true;
  const std::string quoted = quotedContent(encodedFileName(fileName));
  return writeBody("--" + boundary_ + "\r\nContent-Type: " + std::string(contentType) + "; name=\"" + quoted +
                   "\"\r\nContent-Disposition: attachment; filename=\"" + quoted + "\"" +
                   extendedFileName(safeFileName(fileName)) + "\r\nContent-Transfer-Encoding: " +
                   std::string(encoding) + "\r\n\r\n");
}

bool MimeComposer::attachBase64(const TagCommand& command) {
  if (!platform::isRegularFile(command.path)) return missingFile(command);
  std::ifstream file(platform::nativePath(command.path), std::ios::binary);
  if (!file) return missingFile(command);
  if (!openAttachmentPart(ExtensionTable::contentTypeFor(command.extension), command.fileName, "base64"))
    return false;
  std::string block(kBase64Block, '\0');
  std::string encoded;
  for (;;) {
    file.read(block.data(), static_cast<std::streamsize>(block.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    if (file.bad()) return missingFile(command);
    const std::string_view bytes(block.data(), got);
    if (got < block.size()) return writeBody(base64MimeBody(bytes));
    encoded.clear();
    for (std::size_t at = 0; at < got; at += 57) {
      appendBase64(encoded, bytes.substr(at, 57));
      encoded += "\r\n";
    }
    if (!writeBody(encoded)) return false;
  }
}

bool MimeComposer::attachUuencoded(const TagCommand& command) {
  if (!platform::isRegularFile(command.path)) return missingFile(command);
  const auto content = platform::readFile(command.path);
  if (!content) return missingFile(command);
  if (!openAttachmentPart("application/x-uuencode", command.fileName, "7bit")) return false;
  return writeBodyLines(uuencodeBody(*content, encodedFileName(command.fileName)));
}

// Text of CR LF lines, each written through the dot-stuffing.
bool MimeComposer::writeBodyLines(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    if (!writeBodyLine(text.substr(0, end))) return false;
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return true;
}

bool MimeComposer::writeBodyLine(std::string_view line) {
  std::string out;
  out.reserve(line.size() + 3);
  if (!line.empty() && line.front() == '.') out += '.';
  out += line;
  out += "\r\n";
  return writeBody(out);
}

bool MimeComposer::writeBody(std::string_view bytes) {
  if (body_->write(bytes)) return true;
  if (!writeFailed_) messages_.error(MessageNumber::DiskFull);
  writeFailed_ = true;
  return false;
}

bool MimeComposer::finishHeader(ByteSink& header) {
  header_ += "Mime-Version: 1.0\r\n";
  if (!multipart_) {
    header_ += kTextPartHeader;
    header_ += extraHeader_;
    header_ += "\r\n";
  } else {
    header_ += "Content-Type: multipart/mixed; boundary=\"" + boundary_ +
               "\"\r\nContent-Transfer-Encoding: 7bit\r\n";
    header_ += extraHeader_;
    header_ += "\r\nThis is a MIME-encapsulated message\r\n\r\n--" + boundary_ + "\r\n";
    header_ += kTextPartHeader;
    header_ += "\r\n";
  }
  if (header.write(header_)) return true;
  messages_.error(MessageNumber::DiskFull);
  return false;
}

}  // namespace zorvik::message
