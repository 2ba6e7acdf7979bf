// Key definitions: the parser and writer over the default texts and the
// editor presets, the two-stroke dispatcher, and the display names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/TextEncoding.h"
#include "view/KeyDefinition.h"
#include "view/KeyDispatcher.h"
#include "view/KeyNames.h"
#include "view/KeyPresets.h"

namespace zorvik::view {
namespace {

KeyStroke ctrl(int key) { return {key, false, false, true}; }
KeyStroke plain(int key) { return {key, false, false, false}; }

std::string bindingOf(const MacroTable& table, const char* name) {
  const auto at = table.find(name);
  if (!at) return "no such macro";
  const Macro& macro = table[*at];
  return platform::sjisToUtf8(bindingText(macro.first, macro.second));
}

TEST(KeyDefinition, ParsesEveryPresetAndWritesItBackStable) {
  for (const KeyPreset& preset : editorKeyPresets()) {
    MacroTable table = MacroTable::editor();
    parseKeyDefinition(preset.definition, table);
    const std::string written = writeKeyDefinition(table);
    MacroTable again = MacroTable::editor();
    parseKeyDefinition(written, again);
    EXPECT_EQ(writeKeyDefinition(again), written) << preset.definition;
    // Every entry of a preset names a macro of the editor table.
    std::size_t entries = 0;
    for (const char c : preset.definition) entries += c == '=' ? 1 : 0;
    std::size_t bound = 0;
    for (const Macro& macro : table.macros()) bound += macro.first.empty() ? 0 : 1;
    EXPECT_LE(bound, entries) << preset.definition;
    EXPECT_GT(bound, 0U);
  }
}

TEST(KeyDefinition, ForgivingParse) {
  struct Case {
    const char* text;
    const char* macro;
    const char* binding;  // UTF-8 display form
  };
  const std::vector<Case> cases = {
      // "^67=BFCP" twice and a trailing comma: one binding, no error.
      {"^67=BFCP,^88=BFCT,^67=BFCP,", "BFCP", "Ctrl+C"},
      // A later entry for the same macro replaces the earlier one.
      {"^67=BFCP,^86=BFCP", "BFCP", "Ctrl+V"},
      // Two strokes, the second with or without modifiers.
      {"^88+^88=XTGS,^88+85=UNDO", "XTGS", "Ctrl+X ⇒ Ctrl+X"},
      {"^88+^88=XTGS,^88+85=UNDO", "UNDO", "Ctrl+X ⇒ U"},
      // Prefixes in any order; Shift shown before Ctrl before Alt.
      {"#!188=TOF", "TOF", "Shift+Alt+,"},
      {"^!#190=EOF", "EOF", "Shift+Ctrl+Alt+."},
      // A label up to the first colon is skipped.
      {"EMACS:^80=CUP", "CUP", "Ctrl+P"},
      // Unknown names, entries without a key and stray commas are ignored.
      {"^65=NOSUCH,,=CUP,^=CDN,^78=CDN", "CDN", "Ctrl+N"},
      {"^65=NOSUCH,=CUP", "CUP", "割当なし"},
      // A key number beyond 255 binds nothing.
      {"999=CUP", "CUP", "割当なし"},
  };
  for (const Case& c : cases) {
    MacroTable table = MacroTable::editor();
    parseKeyDefinition(c.text, table);
    EXPECT_EQ(bindingOf(table, c.macro), c.binding) << c.text;
  }
}

TEST(KeyDefinition, DefaultViewTextsComeBackInTableOrder) {
  struct Case {
    MacroTable table;
    const char* text;
    const char* written;
  };
  std::vector<Case> cases = {
      {MacroTable::trayTree(), "9=TEXTVIEW,!9=LISTVIEW,46=DELETE,#67=MAKECAB,#84=MAKETRAY,^88=CUT,^67=COPY,^86=PASTE",
       "46=DELETE,9=TEXTVIEW,!9=LISTVIEW,#67=MAKECAB,#84=MAKETRAY,^88=CUT,^67=COPY,^86=PASTE"},
      {MacroTable::textView(), "9=LISTVIEW,!9=TREEVIEW,32=NEXTMAIL,^65=SELALL,^67=COPY",
       "9=LISTVIEW,!9=TREEVIEW,32=NEXTMAIL,^65=SELALL,^67=COPY"},
      {MacroTable::mailList(),
       "13=VIEW,9=TREEVIEW,!9=TEXTVIEW,32=NEXTMAIL,46=DELETE,#67=MAKECAB,#84=MAKETRAY,^65=SELALL,^88=CUT,^67=COPY,"
       "^86=PASTE",
       "46=DELETE,13=VIEW,9=TREEVIEW,!9=TEXTVIEW,32=NEXTMAIL,#67=MAKECAB,#84=MAKETRAY,^65=SELALL,^88=CUT,^67=COPY,"
       "^86=PASTE"},
  };
  for (Case& c : cases) {
    parseKeyDefinition(c.text, c.table);
    EXPECT_EQ(writeKeyDefinition(c.table), c.written);
  }
  EXPECT_EQ(MacroTable::mailList().size(), 33U);
  EXPECT_EQ(MacroTable::textView().size(), 14U);
  EXPECT_EQ(MacroTable::trayTree().size(), 22U);
  EXPECT_EQ(MacroTable::editor().size(), 61U);
}

// Feeds strokes and names what each one did: "run NAME", "wait" or "pass".
std::vector<std::string> dispatch(const MacroTable& table, const std::vector<KeyStroke>& strokes) {
  KeyDispatcher dispatcher(table);
  std::vector<std::string> outcomes;
  for (const KeyStroke& stroke : strokes) {
    const auto result = dispatcher.press(stroke);
    switch (result.outcome) {
      case KeyDispatcher::Outcome::Run: outcomes.push_back("run " + table[result.macro].name); break;
      case KeyDispatcher::Outcome::Wait: outcomes.emplace_back("wait"); break;
      case KeyDispatcher::Outcome::Unhandled: outcomes.emplace_back("pass"); break;
    }
  }
  return outcomes;
}

TEST(KeyDispatcher, TwoStrokeKeysAndPresets) {
  struct Case {
    const char* name;
    std::string definition;
    std::vector<KeyStroke> strokes;
    std::vector<std::string> outcomes;
  };
  const std::string emacs = editorKeyPresets()[2].definition;
  const std::string wordStar = editorKeyPresets()[1].definition;
  const std::vector<Case> cases = {
      {"emacs Ctrl+X Ctrl+X", emacs, {ctrl(88), ctrl(88)}, {"wait", "run XTGS"}},
      // The second stroke of "^88+85" carries no modifiers: U and Ctrl+U both do.
      {"emacs Ctrl+X U", emacs, {ctrl(88), plain(85)}, {"wait", "run UNDO"}},
      {"emacs Ctrl+X Ctrl+U", emacs, {ctrl(88), ctrl(85)}, {"wait", "run UNDO"}},
      // No entry takes Ctrl+X then A: both are cleared and A is the view's.
      {"emacs Ctrl+X A then Ctrl+P", emacs, {ctrl(88), plain(65), ctrl(80)}, {"wait", "pass", "run CUP"}},
      {"emacs single", emacs, {ctrl(80), ctrl(78)}, {"run CUP", "run CDN"}},
      // "#48+^75=DTOL": the second stroke's Ctrl is required.
      {"emacs Alt+0 K", emacs, {{48, true, false, false}, plain(75)}, {"wait", "pass"}},
      {"emacs Alt+0 Ctrl+K", emacs, {{48, true, false, false}, ctrl(75)}, {"wait", "run DTOL"}},
      {"wordstar Ctrl+Q S", wordStar, {ctrl(81), plain(83)}, {"wait", "run TOL"}},
      {"wordstar Ctrl+K K", wordStar, {ctrl(75), plain(75)}, {"wait", "run VSBR"}},
      // A modifier difference on the first stroke is no match.
      {"shift differs", "^67=BFCP", {{67, false, true, true}}, {"pass"}},
      // An earlier two-stroke entry makes Ctrl+X wait; the later single one is never reached.
      {"two-stroke first", "^88+88=XTGS,^88=BFCT", {ctrl(88), ctrl(88)}, {"wait", "run XTGS"}},
      {"two-stroke first, other key", "^88+88=XTGS,^88=BFCT", {ctrl(88), plain(67)}, {"wait", "pass"}},
  };
  for (const Case& c : cases) {
    MacroTable table = MacroTable::editor();
    parseKeyDefinition(c.definition, table);
    EXPECT_EQ(dispatch(table, c.strokes), c.outcomes) << c.name;
  }
}

TEST(KeyNames, DisplayForms) {
  struct Case {
    KeyStroke first;
    KeyStroke second;
    const char* shown;
  };
  const std::vector<Case> cases = {
      {plain(9), {}, "Tab"},
      {plain(13), {}, "Return"},
      {plain(6), {}, ""},
      {plain(48), {}, "0"},
      {plain(90), {}, "Z"},
      {plain(60), {}, ""},
      {plain(99), {}, "Numpad3"},
      {plain(111), {}, "Divide"},
      {plain(135), {}, "F24"},
      {plain(186), {}, ":"},
      {plain(220), {}, "\\"},
      {plain(226), {}, "_"},
      {plain(255), {}, ""},
      {{112, true, true, true}, {}, "Shift+Ctrl+Alt+F1"},
      {ctrl(88), plain(85), "Ctrl+X ⇒ U"},
      {{}, {}, "割当なし"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::sjisToUtf8(bindingText(c.first, c.second)), c.shown) << c.first.key;
  EXPECT_EQ(KeyStroke::unpack(KeyStroke{188, true, true, false}.packed()), (KeyStroke{188, true, true, false}));
  EXPECT_EQ((KeyStroke{65, true, false, true}.packed()), (65U << 3) | 5U);
}

}  // namespace
}  // namespace zorvik::view
