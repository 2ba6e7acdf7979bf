#include "message/MimeDecoder.h"

#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "message/AttachmentName.h"
#include "message/ExtensionTable.h"
#include "message/HtmlText.h"
#include "message/MailDate.h"
#include "message/MimeCharset.h"
#include "message/MimeHeader.h"
#include "message/RawHeaderText.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace zorvik::message {

using core::MessageNumber;

namespace {

constexpr std::string_view kFolderLine = "X-Zorvik-AttachDir: ";
constexpr std::string_view kDisabledFolderLine = "X-Zorvik-Attach---: ";
constexpr std::string_view kPlainContentType = "Content-Type: text/plain; ";

const std::string& attachedMailSeparator() {
  return platform::sjisLiteral("-------- 添付メール --------");
}

std::string notSavedLine(std::string_view name) {
  return platform::sjisLiteral("★★★ 添付ファイル：[") + std::string(name) +
         platform::sjisLiteral("] は保存しませんでした。 ★★★") + "\r\n";
}

bool isEmptyLine(std::string_view line) { return line == "\r\n" || line == "\n" || line == "\r"; }

bool isText(ContentKind kind) { return kind == ContentKind::textPlain || kind == ContentKind::otherText; }

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWithTxt(std::string_view name) {
  return name.size() >= 4 && core::startsWithIgnoringAsciiCase(name.substr(name.size() - 4), ".TXT");
}

std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// The line without the one line end (CR LF, or LF) that ends it.
std::string_view withoutOneLineEnd(std::string_view line) {
  if (line.ends_with("\r\n")) line.remove_suffix(2);
  else if (line.ends_with("\n")) line.remove_suffix(1);
  return line;
}

// What a file named ".txt" must hold to be shown as text: no NUL and no
// control character but tab, line ends, form feed and the escape of
// ISO-2022-JP. Anything else is a file of another kind, whatever its name.
bool looksLikeText(std::string_view bytes) {
  return std::none_of(bytes.begin(), bytes.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != '\x1B') || byte == 0x7F;
  });
}

bool hasVisibleText(std::string_view text) { return text.find_first_not_of(" \t\r\n") != std::string_view::npos; }

// The whole temporary file of an expanded text, read in large blocks: such
// a text may be many megabytes.
std::optional<std::string> readWhole(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(platform::nativePath(path).c_str(), "rb"), std::fclose);
  if (!file) return std::nullopt;
  std::string text;
  char block[65536];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, file.get())) > 0;) text.append(block, n);
  if (std::ferror(file.get())) return std::nullopt;
  return text;
}

std::string threeDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", n);
  return text;
}

}  // namespace

MimeDecoderSettings MimeDecoderSettings::fromSettings(const core::SettingsFile& settings) {
  MimeDecoderSettings result;
  const std::string top = settings.topCabinetPath();
  result.attachmentRoot = platform::joinPath(top, ".inc");
  const std::string& work = settings.workingDirectories().workDirectory;
  result.workDirectory = platform::isFullPath(work) ? work : platform::joinPath(top, work);
  result.expandTextAttachments = settings.flag(core::item::kExpandTextAttachments);
  result.dropAttachments = settings.flag(core::item::kDoNotSaveAttachments);
  result.zoneHours = settings.timeZoneOffsetHours();
  return result;
}

MimeDecoder::MimeDecoder(MimeDecoderSettings settings, core::Messages& messages)
    : settings_(std::move(settings)), messages_(messages), folderNumbers_(ownFolderNumbers_) {}

MimeDecoder::MimeDecoder(MimeDecoderSettings settings, core::Messages& messages,
                         AttachmentFolderNumbers& folderNumbers)
    : settings_(std::move(settings)), messages_(messages), folderNumbers_(folderNumbers) {}

MimeDecoder::~MimeDecoder() {
  charsetSink_.reset();
  partFile_.reset();
  if (!tempTextPath_.empty()) platform::removeFile(tempTextPath_);
}

bool MimeDecoder::decode(ByteSink& output, std::string_view received) {
  std::size_t at = 0;
  while (state_ != MimeState::endOfMail && !failed_) {
    if (at >= received.size()) {
      state_ = MimeState::endOfMail;
      break;
    }
    handleLine(nextLine(received, at));
  }
  if (!failed_) finishPart(false);
  while (!failed_ && !multiparts_.empty()) closeInnermost();
  if (failed_) {
    abandonPart();
    if (!folderPath_.empty()) platform::removeDirectory(folderPath_);  // only when still empty
    return false;
  }
  finishMail();
  return output.write(output_.text());
}

// Cuts the next line at CR LF (or LF, for text that lost its CRs). In a
// header, continuation lines are joined with their line ends kept, so the
// stored header keeps its folding. Ctrl-Z bytes (a DOS end-of-file mark some
// servers leave in) vanish, and a dot doubled by the server loses one.
std::string_view MimeDecoder::nextLine(std::string_view text, std::size_t& at) {
  const bool header = state_ == MimeState::mailHeader || state_ == MimeState::partHeader ||
                      state_ == MimeState::attachedMailHeader;
  const std::size_t start = at;
  for (;;) {
    const auto lf = text.find('\n', at);
    at = lf == std::string_view::npos ? text.size() : lf + 1;
    if (!header || at >= text.size() || isEmptyLine(text.substr(start, at - start))) break;
    if (text[at] != ' ' && text[at] != '\t') break;
  }
  std::string_view line = text.substr(start, at - start);
  // Only the line "." as the server sent it ends the mail: a text line "."
  // arrives doubled ("..") and is an ordinary line once unstuffed.
  atTerminator_ = line == ".\r\n" || line == "." || line == ".\n";
  const bool stuffed = startsWith(line, "..");
  if (!stuffed && line.find('\x1A') == std::string_view::npos) return line;
  lineScratch_.assign(line.substr(stuffed ? 1 : 0));
  std::erase(lineScratch_, '\x1A');
  return lineScratch_;
}

void MimeDecoder::handleLine(std::string_view line) {
  switch (state_) {
    case MimeState::mailHeader:
      if (isEmptyLine(line)) headerEndAt_ = output_.size();
      interpret(line);
      if (state_ != MimeState::endOfMail) writeHeaderLine(line);
      return;
    case MimeState::partHeader:
      interpret(line);
      return;
    case MimeState::attachedMailHeader:
      handleAttachedMailHeaderLine(line);
      return;
    case MimeState::firstBodyLine:
      writeReference();
      state_ = MimeState::partBody;
      handleBodyLine(line);
      return;
    case MimeState::partBody:
      handleBodyLine(line);
      return;
    case MimeState::endOfMail:
      return;
  }
}

// Raw UTF-8 becomes Shift_JIS here, where the mail enters: the stored
// header is taken as Shift_JIS by everything that reads it later. A folder
// line that came with the mail is disabled: it would name a folder that
// Zorvik did not make for this mail, perhaps another mail's, whose files
// would go when this mail is deleted.
void MimeDecoder::writeHeaderLine(std::string_view line) {
  if (!core::startsWithIgnoringAsciiCase(line, kFolderLine)) {
    write(RawHeaderText::toSjis(line));
    return;
  }
  write(kDisabledFolderLine);
  write(line.substr(kFolderLine.size()));
}

// The attached mail shows who sent it, to whom, when and about what; its
// other header lines only steer decoding. Its Message-Id must not reach the
// stored text, where it would be taken for the outer mail's.
void MimeDecoder::handleAttachedMailHeaderLine(std::string_view line) {
  if (core::startsWithIgnoringAsciiCase(line, "MESSAGE-ID:")) return;
  for (const auto name : {"Date:", "From:", "To:", "Subject:"}) {
    if (!core::startsWithIgnoringAsciiCase(line, name)) continue;
    write(RawHeaderText::toSjis(line));
    return;
  }
  if (isEmptyLine(line)) write(line);
  interpret(line);
}

void MimeDecoder::handleBodyLine(std::string_view line) {
  if (atTerminator_) {
    state_ = MimeState::endOfMail;
    return;
  }
  const std::optional<std::size_t> level = boundaryLevel(line);
  if (!level) {
    writeBody(line);
    return;
  }
  finishPart(true);
  // Inner multiparts whose boundary never came end with their outer one.
  while (multiparts_.size() > *level + 1) closeInnermost();
  Multipart& current = multiparts_.back();
  const bool closing = line.substr(current.boundary.size()).starts_with("--");
  current.boundarySeen = true;
  current.preamble.clear();
  resetPart();
  if (!closing) {
    state_ = MimeState::partHeader;
    return;
  }
  closeInnermost();
  // Up to the next boundary (or the end: the epilogue) nothing is stored.
  kind_ = ContentKind::multipart;
}

// The multipart level whose boundary line `line` is, the innermost first:
// a boundary of an outer level also ends every level inside it.
std::optional<std::size_t> MimeDecoder::boundaryLevel(std::string_view line) const {
  if (!startsWith(line, "--")) return std::nullopt;
  for (std::size_t level = multiparts_.size(); level-- > 0;)
    if (startsWith(line, multiparts_[level].boundary)) return level;
  return std::nullopt;
}

// Each line of a part is held back until the next one comes: the line end
// before a boundary line belongs to the boundary, not to the part, so a
// saved file ends where its sender's file ended.
void MimeDecoder::writeBody(std::string_view line) {
  if (target_ == Target::dropped) return;
  if (pipeline_ && target_ != Target::none) {
    if (pendingLine_) feed(*pendingLine_);
    // Lines read from the received text stay valid for the whole decode;
    // one rewritten into the scratch line does not.
    if (line.data() == lineScratch_.data()) line = pendingCopy_.assign(line);
    pendingLine_ = line;
    return;
  }
  // The preamble of a multipart is dropped once its first boundary comes;
  // until then it may be all the mail there is.
  if (kind_ == ContentKind::multipart && !multiparts_.empty() && !multiparts_.back().boundarySeen)
    multiparts_.back().preamble.append(line);
}

void MimeDecoder::feed(std::string_view line) {
  if (target_ == Target::dropped || !pipeline_) return;
  if (pipeline_->decodeAndWrite(partSink(), line)) return;
  // The disk refused a saved file: what is on disk is incomplete, so the
  // mail must not count as stored whole, and nothing more goes into it.
  charsetSink_.reset();
  partFile_.reset();
  target_ = Target::dropped;
  mailNotComplete_ = true;
}

ByteSink& MimeDecoder::partSink() {
  if (charsetSink_) return *charsetSink_;
  if (partFile_) return *partFile_;
  return output_;
}

void MimeDecoder::interpret(std::string_view line) {
  std::string_view value;
  switch (MimeHeader::field(line, value)) {
    case MimeField::terminator:
      if (atTerminator_) state_ = MimeState::endOfMail;
      return;
    case MimeField::mimeVersion:
      mimeVersion_ = true;
      return;
    case MimeField::contentType:
      interpretContentType(value);
      return;
    case MimeField::transferEncoding: {
      const auto encoding = MimeHeader::transferEncoding(value);
      encoding_ = encoding.encoding;
      if (encoding.uuencode) kind_ = ContentKind::uuencode;
      return;
    }
    case MimeField::disposition:
      takeName(value);
      return;
    case MimeField::messageId:
      messageId_ = MimeHeader::messageId(value);
      return;
    case MimeField::date:
      dateText_ = withoutLineEnd(value);
      return;
    case MimeField::none:
      if (isEmptyLine(line)) endOfHeader();
      return;
  }
}

void MimeDecoder::interpretContentType(std::string_view value) {
  const ContentType type = MimeHeader::contentType(value);
  kind_ = type.kind;
  contentTypeText_ = type.type;
  if (type.output) outputKind_ = *type.output;
  if (!type.boundary.empty())
    pushBoundary(type.boundary, core::equalsIgnoringAsciiCase(type.type, "multipart/alternative"));
  if (!type.charset.empty()) charsetName_ = type.charset;
  const CharsetKind charset = MimeCharset::pipelineKind(type.charset);
  if (charset != CharsetKind::none) charset_ = charset;
  takeName(value);
  if (state_ == MimeState::mailHeader) contentTypeAt_ = output_.size();
}

void MimeDecoder::takeName(std::string_view value) {
  if (kind_ == ContentKind::multipart || kind_ == ContentKind::partial || kind_ == ContentKind::encrypted)
    return;
  std::string name = MimeHeader::partName(value);
  if (!name.empty()) partName_ = std::move(name);
}

void MimeDecoder::pushBoundary(const std::string& boundary, bool alternative) {
  Multipart level;
  level.boundary = "--" + boundary;
  level.alternative = alternative;
  multiparts_.push_back(std::move(level));
  partHasBoundary_ = true;
}

void MimeDecoder::endOfHeader() {
  const MimeState headerState = state_;
  // A multipart without a boundary has no parts to find: its body is text.
  if (kind_ == ContentKind::multipart && !partHasBoundary_) {
    kind_ = ContentKind::textPlain;
    outputKind_ = OutputKind::text;
  }
  const bool plainText = isText(kind_) && partName_.empty();
  if (headerState == MimeState::mailHeader && mimeVersion_ && !plainText &&
      kind_ != ContentKind::partial && kind_ != ContentKind::attachedMail && kind_ != ContentKind::encrypted)
    ensureFolder();
  state_ = MimeState::firstBodyLine;

  if (kind_ == ContentKind::uuencode) {
    transfer_ = TransferKind::uuencode;
  } else if (kind_ == ContentKind::binHex) {
    transfer_ = TransferKind::binHex;
  } else if (encoding_ == TransferEncoding::base64) {
    transfer_ = TransferKind::base64;
  } else if (encoding_ == TransferEncoding::quotedPrintable) {
    transfer_ = TransferKind::quotedPrintable;
  } else {
    transfer_ = TransferKind::none;
  }
  if (kind_ == ContentKind::attachedMail) {
    resetPart();
    state_ = MimeState::attachedMailHeader;
    write(headerState == MimeState::mailHeader ? "\r\n" + attachedMailSeparator()
                                               : attachedMailSeparator() + "\r\n");
    return;
  }
  if (kind_ == ContentKind::multipart) return;
  const bool inlinePart = partName_.empty() && (isText(kind_) || !mimeVersion_ || kind_ == ContentKind::partial ||
                                                kind_ == ContentKind::encrypted);
  // Unnamed ISO-2022-JP text is stored as it came; the move into the tray
  // converts every stored line. A saved text file must be Shift_JIS itself;
  // a saved file of any other type keeps the bytes it was sent with.
  if (charset_ == CharsetKind::iso2022jp && !(isText(kind_) && !partName_.empty())) charset_ = CharsetKind::none;
  if (!inlinePart && !isText(kind_)) charset_ = CharsetKind::none;
  pipeline_ = std::make_unique<DecodePipeline>(transfer_, charset_, outputKind_);
  if (inlinePart) {
    target_ = Target::inlineText;
    partTextStart_ = output_.size();
    if (isText(kind_) && MimeCharset::needsIconv(charsetName_))
      charsetSink_ = std::make_unique<MimeCharsetSink>(output_, charsetName_);
    return;
  }
  if (partName_.empty()) {
    namelessPart_ = true;
    partName_ = "__NONAME_" + threeDigits(++namelessParts_) + std::string(ExtensionTable::extensionFor(contentTypeText_));
  }
  if (!openPartFile()) failed_ = true;
}

// A part that does not stay inline: expanded into the text through a
// temporary file, dropped by the user's choice, or saved.
bool MimeDecoder::openPartFile() {
  if (settings_.expandTextAttachments && (isText(kind_) || endsWithTxt(partName_))) return openExpandedText();
  if (settings_.dropAttachments) {
    resultBits_ |= kExpandedOrDropped;
    mailNotComplete_ = true;
    target_ = Target::dropped;
    return true;
  }
  return saveAsFile();
}

bool MimeDecoder::openExpandedText() {
  platform::makeDirectories(settings_.workDirectory);
  for (int n = 0; n < 1000 && tempTextPath_.empty(); ++n) {
    const std::string path = platform::joinPath(settings_.workDirectory, "MimeText" + threeDigits(n) + ".tmp");
    if (!platform::pathExists(path)) tempTextPath_ = path;
  }
  if (!tempTextPath_.empty()) partFile_ = std::make_unique<FileByteSink>(tempTextPath_, FileByteSink::Mode::truncate);
  if (!partFile_ || !partFile_->isOpen()) {
    partFile_.reset();
    messages_.error(MessageNumber::AttachmentTemporaryFileNotCreated);
    return false;
  }
  target_ = Target::expanded;
  if (isText(kind_) && MimeCharset::needsIconv(charsetName_))
    charsetSink_ = std::make_unique<MimeCharsetSink>(*partFile_, charsetName_);
  return true;
}

// Three tries, as the name allows: the name made safe, then without the
// characters other systems refuse, then the plain fallback name.
bool MimeDecoder::saveAsFile() {
  std::string path;
  if (ensureFolder()) {
    const std::string safe = AttachmentName::safe(partName_);
    for (const std::string& name : {safe, AttachmentName::withoutReserved(safe), std::string(AttachmentName::kFallback)}) {
      const std::optional<std::string> free = AttachmentName::freePath(folderPath_, name);
      path = free.value_or(platform::joinPath(folderPath_, name));  // what the message names when all fail
      if (!free) continue;
      partFile_ = std::make_unique<FileByteSink>(path, FileByteSink::Mode::truncate);
      if (partFile_->isOpen()) break;
      partFile_.reset();
    }
  } else {
    path = platform::joinPath(settings_.attachmentRoot, partName_);
  }
  if (!partFile_) {
    messages_.error(MessageNumber::AttachmentNotExtracted, {path});
    return false;
  }
  savedName_ = platform::fileNameOf(path);
  savedPath_ = path;
  savedFiles_.add(path);
  resultBits_ |= kFileSaved;
  target_ = Target::file;
  if (isText(kind_) && MimeCharset::needsIconv(charsetName_))
    charsetSink_ = std::make_unique<MimeCharsetSink>(*partFile_, charsetName_);
  return true;
}

// The folder is made when the header shows the mail carries files, or at
// the first file of a mail whose header did not (an attached mail inside
// message/rfc822, a mail without MIME-Version): the folder line goes into
// the header at the end either way.
bool MimeDecoder::ensureFolder() {
  if (!folderName_.empty()) return true;
  const std::time_t date = MailDate::parse(dateText_, settings_.zoneHours, std::time(nullptr));
  auto name = folderNumbers_.claim(settings_.attachmentRoot, date, settings_.zoneHours);
  if (!name) return false;
  folderName_ = *name;
  folderPath_ = platform::joinPath(settings_.attachmentRoot, folderName_);
  return true;
}

void MimeDecoder::writeReference() {
  if (target_ == Target::file) output_.writeOwnLine("@#MIME \"%:" + savedName_ + "\"\r\n");
  if (target_ == Target::dropped && !partName_.empty()) write(notSavedLine(AttachmentName::safe(partName_)));
}

void MimeDecoder::finishPart(bool atBoundary) {
  if (pendingLine_) {
    feed(atBoundary ? withoutOneLineEnd(*pendingLine_) : *pendingLine_);
    pendingLine_.reset();
  }
  if (pipeline_ && target_ != Target::none && target_ != Target::dropped && !pipeline_->finish(partSink()))
    mailNotComplete_ = true;
  if (charsetSink_ && !charsetSink_->finish()) mailNotComplete_ = true;
  charsetSink_.reset();
  if (pipeline_) warnings_.insert(warnings_.end(), pipeline_->warnings().begin(), pipeline_->warnings().end());
  pipeline_.reset();
  switch (target_) {
    case Target::inlineText:
      if (isText(kind_) && hasVisibleText(std::string_view(output_.text()).substr(partTextStart_))) markText();
      if (!output_.endsWithLineEnd()) write("\r\n");
      break;
    case Target::file:
      if (!partFile_ || !partFile_->close()) mailNotComplete_ = true;
      partFile_.reset();
      // A nameless HTML part is the mail's text as its sender wrote it; a
      // named one is a file the sender attached.
      if (namelessPart_ && core::equalsIgnoringAsciiCase(contentTypeText_, "text/html")) renderHtml();
      break;
    case Target::expanded:
      copyExpandedText();
      break;
    case Target::none:
    case Target::dropped:
      break;
  }
  partFile_.reset();
  target_ = Target::none;
}

// After a failure nothing more is written; the files go with the decoder.
void MimeDecoder::abandonPart() {
  pendingLine_.reset();
  charsetSink_.reset();
  pipeline_.reset();
  partFile_.reset();
  target_ = Target::none;
}

// The expanded text joins the stored text line by line, each line with
// CR LF, whatever line ends the attachment had, below a title line naming
// it. A file that is only named like text is saved as a file instead.
void MimeDecoder::copyExpandedText() {
  if (partFile_) partFile_->close();
  partFile_.reset();
  const std::optional<std::string> text = readWhole(tempTextPath_);
  platform::removeFile(tempTextPath_);
  tempTextPath_.clear();
  if (!text) {
    mailNotComplete_ = true;
    return;
  }
  if (!isText(kind_) && !looksLikeText(*text)) {
    saveExpandedAsFile(*text);
    return;
  }
  resultBits_ |= kExpandedOrDropped;
  write("-------- " + AttachmentName::safe(partName_) + " --------\r\n");
  std::string_view rest = *text;
  while (!rest.empty()) {
    const auto lf = rest.find('\n');
    const std::string_view line = withoutLineEnd(rest.substr(0, lf == std::string_view::npos ? rest.size() : lf));
    write(line);
    write("\r\n");
    rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
  }
}

void MimeDecoder::saveExpandedAsFile(std::string_view bytes) {
  if (!saveAsFile()) {
    failed_ = true;
    return;
  }
  writeReference();
  if (!partFile_->write(bytes) || !partFile_->close()) mailNotComplete_ = true;
  partFile_.reset();
}

// A part was stored as text: an alternative that holds it needs no
// rendering of its HTML.
void MimeDecoder::markText() {
  for (Multipart& level : multiparts_) level.hasText = true;
}

void MimeDecoder::renderHtml() {
  const std::optional<std::string> html = readWhole(savedPath_);
  if (!html) return;
  std::string text = HtmlText::render(*html, charsetName_);
  if (!text.empty()) placeRendering(std::move(text));
}

// The text of an HTML part goes below its reference line, unless an
// alternative around it has text of its own. Whether it has may only show
// after the HTML part, so inside an alternative the text waits for the
// alternative's end.
void MimeDecoder::placeRendering(std::string text) {
  for (const Multipart& level : multiparts_)
    if (level.alternative && level.hasText) return;
  for (auto level = multiparts_.rbegin(); level != multiparts_.rend(); ++level) {
    if (!level->alternative) continue;
    level->rendering += text;
    return;
  }
  write(text);
}

// Ends the innermost multipart level. One whose boundary never came was no
// multipart: what it held is stored as text.
void MimeDecoder::closeInnermost() {
  Multipart level = std::move(multiparts_.back());
  multiparts_.pop_back();
  if (!level.boundarySeen && !level.preamble.empty()) {
    write(level.preamble);
    if (!output_.endsWithLineEnd()) write("\r\n");
  }
  if (!level.rendering.empty() && !level.hasText) placeRendering(std::move(level.rendering));
}

void MimeDecoder::resetPart() {
  encoding_ = TransferEncoding::sevenBit;
  kind_ = ContentKind::textPlain;
  transfer_ = TransferKind::none;
  charset_ = CharsetKind::none;
  outputKind_ = OutputKind::binary;
  charsetName_.clear();
  partName_.clear();
  contentTypeText_.clear();
  partHasBoundary_ = false;
  namelessPart_ = false;
}

void MimeDecoder::finishMail() {
  if (!output_.endsWithLineEnd()) write("\r\n");
  // A mail that is all header still gets the empty line that ends it: a
  // reader of the work file would otherwise take the next mail's lines as
  // more of this header.
  if (!headerEndAt_) {
    headerEndAt_ = output_.size();
    write("\r\n");
  }
  if (folderName_.empty()) return;
  // No file went into the folder: the mail reads as plain text now, and an
  // empty folder must not be left behind for every such mail.
  const bool noFile = (resultBits_ & kFileSaved) == 0;
  const std::string line = std::string(noFile ? kDisabledFolderLine : kFolderLine) + folderName_ + "\r\n";
  output_.text().insert(headerEndAt_.value_or(output_.size()), line);
  if (resultBits_ == kExpandedOrDropped) correctHeader();  // before the folder line: positions hold
  if (noFile) {
    platform::removeDirectory(folderPath_);
    folderName_.clear();
  }
}

// The top-level Content-Type line is overwritten in place, keeping what
// follows the first 26 bytes (so the line's length, and every position after
// it, stay the same). A line too short for that is replaced whole instead of
// running over into the next header line.
void MimeDecoder::correctHeader() {
  if (!contentTypeAt_) return;
  std::string& text = output_.text();
  const std::size_t start = *contentTypeAt_;
  const std::size_t lineEnd = text.find_first_of("\r\n", start);
  const std::size_t length = (lineEnd == std::string::npos ? text.size() : lineEnd) - start;
  if (length >= kPlainContentType.size()) {
    text.replace(start, kPlainContentType.size(), kPlainContentType);
    return;
  }
  text.replace(start, length, kPlainContentType.substr(0, kPlainContentType.size() - 1));
}

std::string MimeDecoder::wireForm(std::string_view mail) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < mail.size();) {
    const auto lf = mail.find('\n', at);
    const std::size_t end = lf == std::string_view::npos ? mail.size() : lf;
    lines.push_back(withoutLineEnd(mail.substr(at, end - at)));
    at = end + 1;
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  const bool alreadyWire = !lines.empty() && lines.back() == ".";
  std::string wire;
  wire.reserve(mail.size() + mail.size() / 32 + 8);
  for (const auto line : lines) {
    if (!alreadyWire && startsWith(line, ".")) wire += '.';
    wire.append(line);
    wire += "\r\n";
  }
  if (!alreadyWire) wire += ".\r\n";
  return wire;
}

}  // namespace zorvik::message
