/// \file
/// The values a settings sheet shows while it is open: the items as they
/// were when it opened, overlaid by what the pages gave back. The pages
/// copy values in and out as text, the way a person reads them (numbers in
/// decimal, colours as 8 hexadecimal digits, passwords plain), so one
/// check (core::valueProblem) judges every typed value.
///
/// Confirming writes only the items whose text differs from what the sheet
/// opened with: a sheet confirmed without a change writes nothing, and the
/// settings file stays byte for byte as it was. A change is made to the
/// file as it is on disk (mailflow::SettingsWriteBack), so its relative
/// paths stay relative.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "core/Messages.h"

namespace zorvik::core {
class SettingsFile;
}
namespace zorvik::mailflow {
class Document;
}

namespace zorvik::view {

class SettingsDraft {
public:
  /// A draft over the personal settings: passwords are read and written
  /// plain.
  explicit SettingsDraft(const core::SettingsFile& settings);
  /// A draft over other items (a tray's properties): no item is a password.
  explicit SettingsDraft(const core::ItemValues& values);

  std::string text(int id) const;
  void setText(int id, std::string_view text);
  /// Number items through their text; 0 for text that holds no number.
  std::int32_t number(int id) const;
  void setNumber(int id, std::int32_t value);

  /// The items whose value differs from the one the draft opened with.
  std::vector<int> changedItems() const;

  /// False after message 44208 for the first value its item cannot take.
  bool check(core::Messages& messages) const;

  /// Writes the changed items into `settings` (a draft of the settings)
  /// or `values` (a draft of other items).
  void applyTo(core::SettingsFile& settings) const;
  void applyTo(core::ItemValues& values) const;

  /// Confirms a draft of the document's settings: checks it, then writes
  /// the changed items into the document and into its settings file, or
  /// into the file at `target` when one is given (the file then becomes the
  /// document's). Nothing is written when nothing changed. False when a
  /// value was refused or the file could not be written.
  bool confirm(mailflow::Document& document, core::Messages& messages, std::string_view target = {}) const;

private:
  std::string originalText(int id) const;

  const core::ItemValues& values_;
  bool plainPasswords_;
  std::map<int, std::string> typed_;
};

}  // namespace zorvik::view
