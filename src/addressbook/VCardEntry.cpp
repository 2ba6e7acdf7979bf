#include "addressbook/VCardEntry.h"

#include <algorithm>

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

namespace zorvik::addressbook {
namespace {

std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }
std::string utf8(const std::string& sjis) { return platform::sjisToUtf8(sjis); }

// Where the first unescaped `separator` of a raw value stands; npos when none.
std::size_t separatorAt(std::string_view value, char separator) {
  for (std::size_t i = 0; i < value.size(); i += value[i] == '\\' ? 2 : 1)
    if (value[i] == separator) return i;
  return std::string_view::npos;
}

std::string addressOf(const VCardProperty& email) {
  std::string address = email.text();
  // vCard 4.0 allows the address as a "mailto:" URI.
  if (address.starts_with("mailto:")) address.erase(0, 7);
  return address;
}

// The N value this address book makes from a display name.
std::string nameFrom(const std::string& escapedName) { return escapedName + ";;;;"; }

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
    std::string address = addressOf(property);
    if (!address.empty()) found.push_back(std::move(address));
  }
  return found;
}

std::string VCardEntry::reading() const {
  if (const VCardProperty* sortString = first("SORT-STRING")) return sortString->text();
  const auto joined = [](std::string family, const std::string& given) {
    return family.empty() || given.empty() ? family + given : family + " " + given;
  };
  const VCardProperty* family = first("X-PHONETIC-LAST-NAME");
  const VCardProperty* given = first("X-PHONETIC-FIRST-NAME");
  if (family || given) return joined(family ? family->text() : "", given ? given->text() : "");
  for (const VCardProperty& property : properties)
    if (property.name == "SOUND" && core::equalsIgnoringAsciiCase(property.param("TYPE").value_or(""), "X-IRMC-N"))
      return joined(property.component(0), property.component(1));
  return {};
}

AddressEntry VCardEntry::view() const {
  AddressEntry entry;
  const auto text = [this](std::string_view name) {
    const VCardProperty* property = first(name);
    return property ? sjis(property->text()) : std::string();
  };
  entry.name = text("FN");
  entry.reading = sjis(reading());
  entry.title = text("TITLE");
  entry.note = text("NOTE");
  if (const VCardProperty* nickname = first("NICKNAME")) {
    // A nickname list is separated by unescaped commas.
    VCardProperty firstNickname{{}, "NICKNAME", {}, nickname->value.substr(0, separatorAt(nickname->value, ','))};
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

void VCardEntry::setValue(std::string_view name, const std::string& value) {
  const auto held = std::find_if(properties.begin(), properties.end(),
                                 [name](const VCardProperty& property) { return property.name == name; });
  if (value.empty()) {
    std::erase_if(properties, [name](const VCardProperty& property) { return property.name == name; });
  } else if (held == properties.end()) {
    properties.push_back({{}, std::string(name), {}, value});
  } else {
    held->value = value;
  }
}

void VCardEntry::setAddresses(const std::vector<std::string>& wanted) {
  std::vector<VCardProperty> emails;
  std::vector<VCardProperty> held;
  for (const VCardProperty& property : properties)
    if (property.name == "EMAIL") held.push_back(property);
  for (const std::string& address : wanted) {
    const auto same = std::find_if(held.begin(), held.end(), [&address](const VCardProperty& email) {
      return core::equalsIgnoringAsciiCase(addressOf(email), address);
    });
    if (same == held.end()) {
      emails.push_back({{}, "EMAIL", {"TYPE=INTERNET"}, VCardProperty::escape(address)});
      continue;
    }
    emails.push_back(std::move(*same));
    held.erase(same);
  }
  const auto firstEmail = std::find_if(properties.begin(), properties.end(),
                                       [](const VCardProperty& property) { return property.name == "EMAIL"; });
  const auto at = std::count_if(properties.begin(), firstEmail,
                                [](const VCardProperty& property) { return property.name != "EMAIL"; });
  std::erase_if(properties, [](const VCardProperty& property) { return property.name == "EMAIL"; });
  properties.insert(properties.begin() + at, emails.begin(), emails.end());
}

void VCardEntry::apply(const AddressEntry& edited) {
  const AddressEntry before = view();
  const auto escaped = [](const std::string& sjisText) { return VCardProperty::escape(utf8(sjisText)); };
  if (edited.name != before.name) {
    const VCardProperty* name = first("N");
    if (name && name->value == nameFrom(escaped(before.name))) setValue("N", nameFrom(escaped(edited.name)));
    setValue("FN", escaped(edited.name));
  }
  if (edited.reading != before.reading) {
    std::erase_if(properties, [](const VCardProperty& property) {
      return property.name == "X-PHONETIC-LAST-NAME" || property.name == "X-PHONETIC-FIRST-NAME" ||
             (property.name == "SOUND" &&
              core::equalsIgnoringAsciiCase(property.param("TYPE").value_or(""), "X-IRMC-N"));
    });
    setValue("SORT-STRING", escaped(edited.reading));
  }
  if (edited.nickname != before.nickname) {
    // Only the first of a nickname list is the entry's; the others stay.
    const VCardProperty* nickname = first("NICKNAME");
    const std::string others = nickname ? nickname->value.substr(std::min(separatorAt(nickname->value, ','),
                                                                          nickname->value.size()))
                                        : std::string();
    const std::string value = escaped(edited.nickname) + others;
    setValue("NICKNAME", value.starts_with(",") ? value.substr(1) : value);
  }
  if (edited.addresses != before.addresses) {
    std::vector<std::string> wanted;
    for (const std::string& address : edited.addresses)
      if (!address.empty()) wanted.push_back(utf8(address));
    setAddresses(wanted);
  }
  if (edited.title != before.title) setValue("TITLE", escaped(edited.title));
  if (edited.note != before.note) setValue("NOTE", escaped(edited.note));
  if (edited.company != before.company || edited.department != before.department || edited.office != before.office) {
    // Parts past the office (other programs' units) stay as they were.
    std::string rest;
    if (const VCardProperty* organization = first("ORG")) {
      std::string_view value = organization->value;
      for (int part = 0; part < 3 && !value.empty(); ++part) {
        const std::size_t cut = separatorAt(value, ';');
        value = cut == std::string_view::npos ? std::string_view() : value.substr(cut + 1);
      }
      if (!value.empty()) rest = ";" + std::string(value);
    }
    std::string value = escaped(edited.company) + ";" + escaped(edited.department) + ";" + escaped(edited.office) + rest;
    while (value.ends_with(";") && !value.ends_with("\\;")) value.pop_back();
    setValue("ORG", value);
  }
}

VCardEntry VCardEntry::create(std::string_view name, std::string_view address) {
  const std::string shown = VCardProperty::escape(platform::sjisToUtf8(name.empty() ? address : name));
  VCardEntry entry;
  entry.properties.push_back({{}, "FN", {}, shown});
  entry.properties.push_back({{}, "N", {}, nameFrom(shown)});
  entry.properties.push_back({{}, "NICKNAME", {}, shown});
  entry.properties.push_back({{}, "EMAIL", {"TYPE=INTERNET"}, VCardProperty::escape(platform::sjisToUtf8(address))});
  return entry;
}

}  // namespace zorvik::addressbook
