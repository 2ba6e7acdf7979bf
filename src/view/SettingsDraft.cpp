#include "view/SettingsDraft.h"

#include <charconv>

#include "core/ItemEntry.h"
#include "core/MessageNumber.h"
#include "core/SettingsFile.h"
#include "mailflow/Document.h"
#include "mailflow/SettingsWriteBack.h"

namespace zorvik::view {
namespace {

std::size_t rowOf(const core::ItemValues& values, int id) {
  const auto row = values.table().indexOf(id);
  if (!row) throw std::out_of_range("no item " + std::to_string(id));
  return *row;
}

}  // namespace

SettingsDraft::SettingsDraft(const core::SettingsFile& settings) : values_(settings), plainPasswords_(true) {}

SettingsDraft::SettingsDraft(const core::ItemValues& values) : values_(values), plainPasswords_(false) {}

std::string SettingsDraft::originalText(int id) const {
  const std::size_t row = rowOf(values_, id);
  if (plainPasswords_) return core::valueText(static_cast<const core::SettingsFile&>(values_), row);
  return core::valueText(values_, row);
}

std::string SettingsDraft::text(int id) const {
  const auto typed = typed_.find(id);
  return typed == typed_.end() ? originalText(id) : typed->second;
}

void SettingsDraft::setText(int id, std::string_view text) {
  rowOf(values_, id);
  typed_[id] = std::string(text);
}

std::int32_t SettingsDraft::number(int id) const {
  const std::string value = text(id);
  const bool colour = values_.table().rows()[rowOf(values_, id)].kind == core::ItemKind::Colour;
  std::uint32_t unsignedNumber = 0;
  if (colour) {
    std::from_chars(value.data(), value.data() + value.size(), unsignedNumber, 16);
    return static_cast<std::int32_t>(unsignedNumber);
  }
  std::int32_t result = 0;
  std::from_chars(value.data(), value.data() + value.size(), result);
  return result;
}

void SettingsDraft::setNumber(int id, std::int32_t value) {
  if (values_.table().rows()[rowOf(values_, id)].kind != core::ItemKind::Colour) return setText(id, std::to_string(value));
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(value));
  setText(id, hex);
}

std::vector<int> SettingsDraft::changedItems() const {
  std::vector<int> changed;
  for (const auto& [id, typed] : typed_) {
    if (typed != originalText(id)) changed.push_back(id);
  }
  return changed;
}

bool SettingsDraft::check(core::Messages& messages) const {
  for (const int id : changedItems()) {
    const core::ItemRow& row = values_.table().rows()[rowOf(values_, id)];
    if (const auto expected = core::valueProblem(row, typed_.at(id))) {
      messages.error(core::MessageNumber::BadItemValue, {std::to_string(id), row.description, typed_.at(id), *expected});
      return false;
    }
  }
  return true;
}

void SettingsDraft::applyTo(core::SettingsFile& settings) const {
  if (!plainPasswords_) return applyTo(static_cast<core::ItemValues&>(settings));
  for (const int id : changedItems()) core::setValueText(settings, rowOf(settings, id), typed_.at(id));
}

void SettingsDraft::applyTo(core::ItemValues& values) const {
  if (plainPasswords_) throw std::logic_error("a settings draft is applied to settings");
  for (const int id : changedItems()) core::setValueText(values, rowOf(values, id), typed_.at(id));
}

bool SettingsDraft::confirm(mailflow::Document& document, core::Messages& messages, std::string_view target) const {
  if (!check(messages)) return false;
  const bool moved = !target.empty() && target != document.settings().fileName();
  // Taken before the document changes: the draft reads its originals there.
  std::vector<std::pair<int, std::string>> changes;
  for (const int id : changedItems()) changes.emplace_back(id, typed_.at(id));
  if (changes.empty() && !moved) return true;
  return mailflow::SettingsWriteBack::apply(
      document,
      [&changes](core::SettingsFile& settings) {
        for (const auto& [id, text] : changes) core::setValueText(settings, rowOf(settings, id), text);
      },
      moved ? target : std::string_view());
}

}  // namespace zorvik::view
