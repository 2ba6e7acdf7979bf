/// \file
/// One control of a settings page and the items it edits: what a window
/// shows (label, choices, unit) and which items the control reads when the
/// page opens and writes back when the sheet is confirmed. Texts are
/// Shift_JIS; a page holds no value of its own.
///
/// Most controls edit one item. A font edits three (name, pixel size and
/// weight: `id`, `id + 1`, `id + 2`); a colour list edits one colour per
/// choice (the choice's value is the item id); a switched number is a check
/// box beside a number, the check off storing `offValue`.
#pragma once

#include <string>
#include <vector>

namespace zorvik::view {

enum class ControlKind {
  Text,           ///< one-line string
  Secret,         ///< one-line string typed unseen (passwords)
  Lines,          ///< multi-line string
  Number,         ///< integer typed in
  Check,          ///< switch item
  InvertedCheck,  ///< switch item shown checked when it is off
  Choice,         ///< integer chosen from `choices` (value = the stored number)
  Colour,         ///< one colour item
  ColourList,     ///< several colour items picked from a list
  Font,           ///< name, size and weight items in a row
  SwitchedNumber, ///< check box and number; off stores `offValue`
  Folder,         ///< folder path with a browse button
  File,           ///< file path with a browse button
  KeyTable,       ///< key definition text, edited in the key capture dialog
  DialUpEntry,    ///< LAN (empty) or a dial-up entry chosen from the system's list
  FlagBit,        ///< one bit (`offValue` is the mask) of a flags item
};

struct FieldChoice {
  std::string text;
  int value = 0;
  std::string data;  ///< what a preset choice puts in (a key definition text)
};

struct SettingsField {
  ControlKind control = ControlKind::Text;
  int id = 0;
  std::string label;
  std::vector<FieldChoice> choices;
  std::string unit;  ///< shown after a number ("秒", "KB")
  int offValue = 0;
  bool readOnly = false;  ///< shown, never written back
  std::string action;     ///< a button beside the control that acts at once
};

/// A page of a sheet, or a sub-dialog opened from a button of its page.
struct SettingsPage {
  std::string title;
  std::vector<SettingsField> fields;
  std::vector<SettingsPage> details;  ///< each opened by a button named by its title
};

}  // namespace zorvik::view
