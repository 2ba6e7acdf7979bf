#include "view/AttachmentCheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <string_view>

#include "platform/FileSystem.h"

namespace zorvik::view {
namespace {

constexpr std::size_t kBlock = 32000;
constexpr std::size_t kNameLength = 6;
constexpr std::array<std::string_view, 3> kNames = {"OBJECT", "SCRIPT", "APPLET"};

bool namesElement(std::string_view text) {
  for (const std::string_view name : kNames) {
    const bool same = std::equal(name.begin(), name.end(), text.begin(),
                                 [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); });
    if (same) return true;
  }
  return false;
}

}  // namespace

bool AttachmentCheck::needsQuestion(const std::string& path) {
  if (platform::isDirectory(path)) return true;
  std::ifstream file(platform::nativePath(path), std::ios::binary);
  if (!file) return false;
  std::string window;  // the unfinished tail of the last block, then a new block
  std::string block(kBlock, '\0');
  while (file.read(block.data(), static_cast<std::streamsize>(kBlock)) || file.gcount() > 0) {
    window.append(block.data(), static_cast<std::size_t>(file.gcount()));
    std::size_t at = 0;
    while ((at = window.find('<', at)) != std::string::npos) {
      if (window.size() - at - 1 < kNameLength) break;
      if (namesElement(std::string_view(window).substr(at + 1, kNameLength))) return true;
      ++at;
    }
    // Keep what might be the start of an element cut by the block's end.
    const std::size_t keep = std::min(window.size(), kNameLength);
    window.erase(0, window.size() - keep);
  }
  return false;
}

}  // namespace zorvik::view
