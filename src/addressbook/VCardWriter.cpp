#include "addressbook/VCardWriter.h"

#include <string_view>

namespace zorvik::addressbook {
namespace {

constexpr std::size_t kLineLimit = 75;

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

void appendFolded(std::string_view line, std::string& out) {
  std::size_t limit = kLineLimit;
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 1 && isUtf8Continuation(line[cut])) --cut;
    out.append(line.substr(0, cut));
    out += "\r\n ";
    line.remove_prefix(cut);
    limit = kLineLimit - 1;  // the space that marks the fold counts
  }
  out.append(line);
  out += "\r\n";
}

// The display name a card without FN is shown by.
std::string derivedName(const VCardEntry& entry) {
  if (const VCardProperty* name = entry.first("N")) {
    const std::string given = name->component(1);
    const std::string family = name->component(0);
    const std::string joined = given.empty() || family.empty() ? given + family : given + " " + family;
    if (!joined.empty()) return VCardProperty::escape(joined);
  }
  const auto addresses = entry.addresses();
  return addresses.empty() ? std::string() : VCardProperty::escape(addresses.front());
}

}  // namespace

void VCardWriter::append(const VCardEntry& entry, std::string& out) {
  out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
  if (!entry.first("FN")) appendFolded("FN:" + derivedName(entry), out);
  if (!entry.first("N")) out += "N:;;;;\r\n";
  for (const VCardProperty& property : entry.properties) appendFolded(property.line(), out);
  out += "END:VCARD\r\n";
}

std::string VCardWriter::write(const std::vector<VCardEntry>& entries) {
  std::string out;
  for (const VCardEntry& entry : entries) append(entry, out);
  return out;
}

}  // namespace zorvik::addressbook
