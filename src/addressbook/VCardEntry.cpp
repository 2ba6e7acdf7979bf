#include "addressbook/VCardEntry.h"

#include "platform/TextEncoding.h"

namespace zorvik::addressbook {
namespace {

std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

}  // namespace

const VCardProperty* VCardEntry::first(std::string_view name) const {
  for (const VCardProperty& property : properties)
    if (property.name == name) return &property;
  return nullptr;
}

std::vector<std::string> VCardEntry::addresses() const {
  std::vector<std::string> found;
  for (const VCardProperty& property : properties) {
    if (property.name != "EMAIL") continue;
    std::string address = property.text();
    // vCard 4.0 allows the address as a "mailto:" URI.
    if (address.starts_with("mailto:")) address.erase(0, 7);
    if (!address.empty()) found.push_back(std::move(address));
  }
  return found;
}

AddressEntry VCardEntry::view() const {
  AddressEntry entry;
  const auto text = [this](std::string_view name) {
    const VCardProperty* property = first(name);
    return property ? sjis(property->text()) : std::string();
  };
  entry.name = text("FN");
  entry.title = text("TITLE");
  entry.note = text("NOTE");
  if (const VCardProperty* nickname = first("NICKNAME")) {
    // A nickname list is separated by unescaped commas.
    const std::string value = nickname->value;
    std::size_t end = 0;
    while (end < value.size() && value[end] != ',') end += value[end] == '\\' ? 2 : 1;
    VCardProperty firstNickname{{}, "NICKNAME", {}, value.substr(0, end)};
    entry.nickname = sjis(firstNickname.text());
  }
  if (const VCardProperty* organization = first("ORG")) {
    entry.company = sjis(organization->component(0));
    entry.department = sjis(organization->component(1));
    entry.office = sjis(organization->component(2));
  }
  for (const std::string& address : addresses()) entry.addresses.push_back(sjis(address));
  return entry;
}

VCardEntry VCardEntry::create(std::string_view name, std::string_view address) {
  const std::string shown = VCardProperty::escape(platform::sjisToUtf8(name.empty() ? address : name));
  VCardEntry entry;
  entry.properties.push_back({{}, "FN", {}, shown});
  entry.properties.push_back({{}, "N", {}, shown + ";;;;"});
  entry.properties.push_back({{}, "NICKNAME", {}, shown});
  entry.properties.push_back({{}, "EMAIL", {"TYPE=INTERNET"}, VCardProperty::escape(platform::sjisToUtf8(address))});
  return entry;
}

}  // namespace zorvik::addressbook
