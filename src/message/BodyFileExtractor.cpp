#include "message/BodyFileExtractor.h"

#include <memory>
#include <optional>

#include "core/SjisText.h"
#include "message/AttachmentFolder.h"
#include "message/AttachmentName.h"
#include "message/Base64Decoder.h"
#include "message/FileByteSink.h"
#include "message/MailDate.h"
#include "message/TagCommand.h"
#include "message/UuDecoder.h"
#include "platform/FileSystem.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kFolderLine = "X-Zorvik-AttachDir: ";
constexpr std::size_t kLongestName = 128;

bool startsWith(std::string_view line, std::string_view name) { return core::startsWithIgnoringAsciiCase(line, name); }

std::string_view valueOf(std::string_view line, std::size_t nameLength) {
  std::string_view value = line.substr(nameLength);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  return value;
}

// The quoted name="..." among the parameters of a header line, when it is
// there and shorter than kLongestName bytes.
std::optional<std::string> nameParameter(std::string_view parameters) {
  const std::size_t semicolon = parameters.find(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  const std::string lower = core::asciiLowerCase(parameters.substr(semicolon));
  const std::size_t at = lower.find("name=\"");
  if (at == std::string::npos) return std::nullopt;
  const std::string_view rest = parameters.substr(semicolon + at + 6);
  const std::size_t quote = rest.find('"');
  if (quote == std::string_view::npos || quote >= kLongestName) return std::nullopt;
  return std::string(rest.substr(0, quote));
}

// A folder name from a header that can be used as it is: one plain name.
bool isPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\\') == std::string_view::npos;
}

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// One walk over a mail: the header read, the body rewritten, files saved.
class Extraction {
public:
  Extraction(const std::string& root, int zoneHours, std::time_t now)
      : root_(root), zoneHours_(zoneHours), now_(now) {}

  ExtractionResult run(const MailLines& mail) {
    result_.mail.separator = mail.separator;
    readHeader(mail.header);
    const auto& body = mail.body;
    for (std::size_t i = 0; i < body.size() && result_.failedPath.empty(); ++i) {
      const std::string_view line = body[i];
      if (block_ != Block::none && continueBlock(line)) continue;
      const bool continued = line.ends_with(";") && i + 1 < body.size() &&
                             (body[i + 1].starts_with(" ") || body[i + 1].starts_with("\t"));
      const bool type = startsWith(line, "Content-Type:");
      if (type || startsWith(line, "Content-Disposition:")) {
        // The type's name comes first; the disposition's file name only
        // stands in for a missing one.
        const std::string parameters = std::string(line) + (continued ? ";" + body[i + 1] : "");
        const auto name = nameParameter(parameters);
        if (name && (type || pendingName_.empty())) pendingName_ = *name;
        if (continued) ++i;
        continue;
      }
      if (startsWith(line, "Content-Transfer-Encoding:")) {
        expectBase64_ = core::equalsIgnoringAsciiCase(valueOf(line, 26), "base64");
        continue;
      }
      if (BodyFileExtractor::isBeginLine(line)) {
        if (openBlock(Block::uuencode, std::string(valueOf(line, 10)))) decoder_->decodeLine(line, decoded_);
        continue;
      }
      if (expectBase64_ && line.empty()) {
        openBlock(Block::base64, pendingName_.empty() ? "Attach" + std::to_string(++nameless_) : pendingName_);
        continue;
      }
      result_.mail.body.emplace_back(line);
    }
    result_.uuencodeCut = block_ == Block::uuencode;
    result_.base64Cut = block_ == Block::base64;
    closeBlock();
    if (!result_.savedFiles.empty() && !hadFolder_) result_.mail.header.push_back(std::string(kFolderLine) + folder_);
    return std::move(result_);
  }

private:
  enum class Block { none, uuencode, base64 };

  void readHeader(const std::vector<std::string>& header) {
    std::string dateText;
    for (const std::string& line : header) {
      if (startsWith(line, "Date:")) dateText = valueOf(line, 5);
      if (line.starts_with(kFolderLine) && isPlainName(valueOf(line, kFolderLine.size()))) {
        folder_ = valueOf(line, kFolderLine.size());
        hadFolder_ = true;
      }
      if (line.starts_with(kFolderLine) && !hadFolder_) continue;  // a name that cannot be used is replaced
      result_.mail.header.push_back(startsWith(line, "Content-Type:") ? "Content-Type: multipart/mixed;" : line);
    }
    date_ = MailDate::parse(dateText, zoneHours_, now_);
  }

  // Feeds a line to the open block; false when the line ends it and is to
  // be read as text (the "--" line after a base64 file).
  bool continueBlock(std::string_view line) {
    if (block_ == Block::uuencode && startsWith(line, "end")) {
      closeBlock();
      return true;
    }
    if (block_ == Block::base64 && line.starts_with("--")) {
      closeBlock();
      return false;
    }
    decoder_->decodeLine(line, decoded_);
    if (!file_->write(decoded_.view())) result_.failedPath = result_.savedFiles.back();
    decoded_.clear();
    return true;
  }

  bool openBlock(Block block, const std::string& name) {
    expectBase64_ = false;
    pendingName_.clear();
    const auto path = createFile(name);
    if (!path) return false;
    result_.savedFiles.push_back(*path);
    result_.mail.body.push_back(std::string(TagCommand::kMime) + "\"%:" + platform::fileNameOf(*path) + "\"");
    block_ = block;
    if (block == Block::uuencode) {
      decoder_ = std::make_unique<UuDecoder>();
    } else {
      decoder_ = std::make_unique<Base64Decoder>();
    }
    return true;
  }

  void closeBlock() {
    if (file_ && !file_->close() && result_.failedPath.empty()) result_.failedPath = result_.savedFiles.back();
    file_.reset();
    decoder_.reset();
    block_ = Block::none;
  }

  // The file for `name` in the mail's folder (made at the first file),
  // under the name made safe, then without reserved characters, then the
  // plain fallback name.
  std::optional<std::string> createFile(const std::string& name) {
    if (!ensureFolder()) {
      result_.failedPath = platform::joinPath(root_, name);
      return std::nullopt;
    }
    const std::string folderPath = platform::joinPath(root_, folder_);
    const std::string safe = AttachmentName::safe(name);
    for (const std::string& tried :
         {safe, AttachmentName::withoutReserved(safe), std::string(AttachmentName::kFallback)}) {
      const auto path = AttachmentName::freePath(folderPath, tried);
      if (!path) continue;
      file_ = std::make_unique<FileByteSink>(*path, FileByteSink::Mode::truncate);
      if (file_->isOpen()) return path;
    }
    file_.reset();
    result_.failedPath = platform::joinPath(folderPath, safe);
    return std::nullopt;
  }

  bool ensureFolder() {
    if (!folder_.empty()) {
      const std::string path = platform::joinPath(root_, folder_);
      return platform::isDirectory(path) || platform::makeDirectories(path);
    }
    const auto made = AttachmentFolder::create(root_, date_, zoneHours_);
    if (!made) return false;
    folder_ = *made;
    result_.createdFolder = platform::joinPath(root_, folder_);
    return true;
  }

  const std::string& root_;
  int zoneHours_;
  std::time_t now_;
  std::time_t date_ = 0;
  ExtractionResult result_;
  std::string folder_;
  bool hadFolder_ = false;
  std::string pendingName_;
  bool expectBase64_ = false;
  int nameless_ = 0;
  Block block_ = Block::none;
  std::unique_ptr<TransferDecoder> decoder_;
  std::unique_ptr<FileByteSink> file_;
  ByteBuffer decoded_;
};

}  // namespace

bool BodyFileExtractor::isBeginLine(std::string_view line) {
  return line.size() > 10 && startsWith(line, "begin ") && isOctal(line[6]) && isOctal(line[7]) &&
         isOctal(line[8]) && line[9] == ' ';
}

ExtractionResult BodyFileExtractor::extract(const MailLines& mail) const {
  return Extraction(root_, zoneHours_, now_).run(mail);
}

}  // namespace zorvik::message
