#include "view/TipFile.h"

#include <sys/stat.h>

#include <ctime>
#include <fstream>
#include <sstream>

#include "core/MessageNumber.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

constexpr std::size_t kLongestTip = 1000;

std::optional<std::string> timeTextOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  char text[64] = {};
  ::ctime_r(&status.st_mtime, text);
  std::string stamp(text);
  while (!stamp.empty() && (stamp.back() == '\n' || stamp.back() == ' ')) stamp.pop_back();
  return stamp;
}

bool isTipLine(std::string_view line) {
  return !line.empty() && line[0] != '\t' && line[0] != ' ' && line[0] != ';' && line[0] != '\r';
}

}  // namespace

std::string TipFile::find(std::string_view programDirectory, std::string_view dataDirs) {
  const std::string beside = std::string(programDirectory) + "/tips.txt";
  if (platform::isRegularFile(beside)) return beside;
  while (!dataDirs.empty()) {
    const std::size_t colon = dataDirs.find(':');
    const std::string_view folder = dataDirs.substr(0, colon);
    dataDirs = colon == std::string_view::npos ? std::string_view() : dataDirs.substr(colon + 1);
    if (folder.empty()) continue;
    const std::string candidate = std::string(folder) + "/zorvik/tips.txt";
    if (platform::isRegularFile(candidate)) return candidate;
  }
  return {};
}

std::optional<TipFile> TipFile::open(const std::string& path, TipPlace& place, core::Messages& messages) {
  std::ifstream in(path, std::ios::binary);
  const auto stamp = timeTextOf(path);
  if (!in || !stamp) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (*stamp != place.timeStamp) {
    place.filePos = 0;
    place.timeStamp = *stamp;
  }
  const std::string bytes = text.str();
  if (place.filePos < 0 || static_cast<std::size_t>(place.filePos) > bytes.size()) {
    messages.error(core::MessageNumber::OnePointFileError);
    place.filePos = 0;
  }
  return TipFile(bytes, static_cast<std::size_t>(place.filePos));
}

std::optional<std::string> TipFile::next() {
  // At most one pass over the whole file, starting where the last tip ended.
  std::size_t scanned = 0;
  while (scanned <= text_.size() && !text_.empty()) {
    if (position_ >= text_.size()) position_ = 0;
    const std::size_t end = text_.find('\n', position_);
    const std::size_t lineEnd = end == std::string::npos ? text_.size() : end;
    const std::string_view line = std::string_view(text_).substr(position_, lineEnd - position_);
    const std::size_t advance = lineEnd - position_ + (end == std::string::npos ? 0 : 1);
    position_ += advance;
    scanned += advance;
    if (!isTipLine(line)) {
      if (advance == 0) break;
      continue;
    }
    std::string_view tip = line.substr(0, std::min(line.size(), kLongestTip));
    if (!tip.empty() && tip.back() == '\r') tip.remove_suffix(1);
    return platform::utf8ToSjis(tip);
  }
  return std::nullopt;
}

}  // namespace zorvik::view
