#include "message/HeaderFolding.h"

#include "core/SjisText.h"

namespace zorvik::message {
namespace {

bool isAddressLine(std::string_view line) {
  const std::string_view name = line.substr(0, 3);
  return core::equalsIgnoringAsciiCase(name, "To:") || core::equalsIgnoringAsciiCase(name, "Cc:");
}

// Writes the folded line piece by piece; `start` is where the physical line
// being built begins in the input.
class Folder {
public:
  explicit Folder(std::string_view line) : line_(line) { out_.reserve(line.size() + line.size() / 64); }

  // A separating comma at `at`: when the line would grow too long, break
  // after the previous comma, and after this one too when the address
  // between them is itself too long.
  void comma(std::size_t at) {
    if (lengthThrough(at) > HeaderFolding::kLineLimit && lastComma_ != std::string_view::npos) {
      breakAfter(lastComma_);
      lastComma_ = std::string_view::npos;
    }
    if (lengthThrough(at) > HeaderFolding::kLineLimit) {
      breakAfter(at);
      return;
    }
    lastComma_ = at;
  }

  // The text after the last comma may itself push the line over the limit.
  std::string finish(std::size_t contentEnd) {
    if (contentEnd > 0 && lengthThrough(contentEnd - 1) > HeaderFolding::kLineLimit &&
        lastComma_ != std::string_view::npos)
      breakAfter(lastComma_);
    out_.append(line_.substr(start_));
    return std::move(out_);
  }

private:
  // Characters of the physical line up to and including `at`, counting the
  // tab that starts a continuation line.
  std::size_t lengthThrough(std::size_t at) const {
    return at + 1 - start_ + (start_ > 0 ? 1 : 0);
  }

  void breakAfter(std::size_t at) {
    out_.append(line_.substr(start_, at + 1 - start_));
    out_.append("\r\n\t");
    start_ = at + 1;
  }

  std::string_view line_;
  std::string out_;
  std::size_t start_ = 0;
  std::size_t lastComma_ = std::string_view::npos;
};

}  // namespace

std::string HeaderFolding::foldAddressLine(std::string_view line) {
  if (!isAddressLine(line)) return std::string(line);
  Folder folder(line);
  bool quoted = false;
  int brackets = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '<') {
      ++brackets;
    } else if (c == '>' && brackets > 0) {
      --brackets;
    } else if (c == ',' && brackets == 0) {
      folder.comma(i);
    }
  }
  std::size_t contentEnd = line.size();
  while (contentEnd > 0 && (line[contentEnd - 1] == '\r' || line[contentEnd - 1] == '\n')) --contentEnd;
  return folder.finish(contentEnd);
}

}  // namespace zorvik::message
