#include "view/LayoutStore.h"

#include <cstdlib>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::view {

LayoutStore::LayoutStore(std::string path) : path_(std::move(path)) {
  const auto content = platform::readFile(path_);
  existed_ = content.has_value();
  if (content) parse(*content);
}

std::string LayoutStore::userStorePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config == '/') {
    base = platform::utf8ToSjis(config);
  } else {
    const char* home = std::getenv("HOME");
    base = platform::utf8ToSjis(home ? home : "") + "/.config";
  }
  return base + "/Qel/Zorvik/registry.ini";
}

std::string LayoutStore::localStorePath() { return platform::joinPath(platform::currentDirectory(), "Zorvik.ini"); }

std::string LayoutStore::sectionName(std::string_view registryPath) {
  std::string name(registryPath);
  // Only single-byte separators: a Shift_JIS trail byte may be 0x5C.
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
      ++i;
      continue;
    }
    if (name[i] == '\\' || name[i] == '/') name[i] = '-';
  }
  return name;
}

void LayoutStore::parse(std::string_view utf8) {
  sections_.clear();
  Section* current = nullptr;
  while (!utf8.empty()) {
    const std::size_t end = std::min(utf8.find('\n'), utf8.size());
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(std::min(end + 1, utf8.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() == '[') {
      const std::string name = platform::utf8ToSjis(line.substr(1, line.size() >= 2 ? line.size() - 2 : 0));
      sections_.push_back({name, {}});
      current = &sections_.back();
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!current || equals == std::string_view::npos || equals == 0) continue;
    current->values.emplace_back(platform::utf8ToSjis(line.substr(0, equals)),
                                 platform::utf8ToSjis(line.substr(equals + 1)));
  }
}

const std::string* LayoutStore::find(std::string_view section, std::string_view name) const {
  for (const Section& candidate : sections_) {
    if (candidate.name != section) continue;
    for (const auto& [key, value] : candidate.values)
      if (key == name) return &value;
  }
  return nullptr;
}

bool LayoutStore::hasSection(std::string_view section) const {
  for (const Section& candidate : sections_)
    if (candidate.name == section) return true;
  return false;
}

std::int32_t LayoutStore::number(std::string_view section, std::string_view name, std::int32_t fallback) const {
  const std::string* value = find(section, name);
  if (!value || value->empty()) return fallback;
  char* end = nullptr;
  const long parsed = std::strtol(value->c_str(), &end, 10);
  if (*end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return fallback;
  return static_cast<std::int32_t>(parsed);
}

std::string LayoutStore::text(std::string_view section, std::string_view name, std::string_view fallback) const {
  const std::string* value = find(section, name);
  return value ? *value : std::string(fallback);
}

void LayoutStore::put(std::string_view section, std::string_view name, std::string value) {
  // A value holding a line end would split the file's line.
  for (char& c : value)
    if (c == '\n' || c == '\r') c = ' ';
  Section* target = nullptr;
  for (Section& candidate : sections_)
    if (candidate.name == section) target = &candidate;
  if (!target) {
    sections_.push_back({std::string(section), {}});
    target = &sections_.back();
  }
  for (auto& [key, stored] : target->values) {
    if (key != name) continue;
    stored = std::move(value);
    return;
  }
  target->values.emplace_back(std::string(name), std::move(value));
}

void LayoutStore::setNumber(std::string_view section, std::string_view name, std::int32_t value) {
  setText(section, name, std::to_string(value));
}

void LayoutStore::setText(std::string_view section, std::string_view name, std::string_view value) {
  put(section, name, std::string(value));
  changed_.emplace(section, name);
}

std::string LayoutStore::render() const {
  std::string out;
  for (const Section& section : sections_) {
    out += "[" + platform::sjisToUtf8(section.name) + "]\n";
    for (const auto& [key, value] : section.values)
      out += platform::sjisToUtf8(key) + "=" + platform::sjisToUtf8(value) + "\n";
  }
  return out;
}

bool LayoutStore::save() {
  const std::string folder = platform::directoryOf(path_);
  if (!folder.empty() && !platform::isDirectory(folder) && !platform::makeDirectories(folder)) return false;
  const auto lock = platform::FileLock::open(path_ + ".lock", platform::FileAccess::Create);
  if (!lock) return false;

  // What another instance wrote since this one started, with our values on top.
  LayoutStore merged(path_);
  for (const auto& [section, name] : changed_)
    if (const std::string* value = find(section, name)) merged.put(section, name, *value);
  if (!platform::writeFileAtomically(path_, merged.render())) return false;
  sections_ = std::move(merged.sections_);
  existed_ = true;
  return true;
}

}  // namespace zorvik::view
