#include "addressbook/AddressCompleter.h"

#include "core/SjisText.h"

namespace zorvik::addressbook {
namespace {

constexpr std::string_view kListSpecials = ",;<>\"()@[]:\\";

// The name as an address list reads it back: quoted when a single-byte
// character of it would split or end the name. Double-byte characters are
// copied whole, since their second byte may look like "@" or "\".
std::string nameForList(std::string_view name) {
  std::string quoted;
  bool special = false;
  for (std::size_t at = 0; at < name.size();) {
    const std::size_t length = core::sjisCharLength(name, at);
    if (length == 1 && kListSpecials.find(name[at]) != std::string_view::npos) {
      special = true;
      if (name[at] == '"' || name[at] == '\\') quoted += '\\';
    }
    quoted.append(name.substr(at, length));
    at += length;
  }
  return special ? "\"" + quoted + "\"" : std::string(name);
}

}  // namespace

std::optional<std::string> AddressCompleter::complete(std::string_view fieldText) {
  const bool again = !lastResult_.empty() && fieldText == lastResult_;
  if (!again) {
    query_ = std::string(fieldText);
    next_ = 0;
  }
  const auto choices = book_.resolve(query_);
  if (choices.empty()) {
    lastResult_.clear();
    return std::nullopt;
  }
  lastResult_ = resolvedForm(choices[next_ % choices.size()]);
  next_ = (next_ + 1) % choices.size();
  return lastResult_;
}

std::string AddressCompleter::resolvedForm(const message::MailAddress& choice) {
  if (choice.name.empty()) return choice.address;
  return nameForList(choice.name) + " <" + choice.address + ">";
}

}  // namespace zorvik::addressbook
