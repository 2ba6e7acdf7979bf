// The key dialog's decisions: what a capture records, what binding it to a
// macro does to the others, and the definition text that comes out.
#include "view/KeyBindingEditor.h"

#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "view/KeyPresets.h"

namespace zorvik::view {
namespace {

constexpr KeyStroke kCtrlX{88, false, false, true};
constexpr KeyStroke kU{85};

TEST(KeyCapture, TwoStrokesAtMostModifiersAloneWaitAndAThirdKeyStartsOver) {
  KeyCapture capture;
  capture.press({0, false, false, true});
  EXPECT_FALSE(capture.captured());
  EXPECT_EQ(capture.text(), "Ctrl+");
  capture.press(kCtrlX);
  capture.press(kU);
  EXPECT_EQ(capture.text(), platform::utf8ToSjis("Ctrl+X ⇒ U"));
  capture.press({112, true, true, false});
  EXPECT_EQ(capture.text(), "Shift+Alt+F1");
  EXPECT_TRUE(capture.second().empty());
  capture.clear();
  EXPECT_FALSE(capture.captured());
}

TEST(KeyBindingEditor, CtrlXThenUBoundToUndoWritesTheEmacsEntryAndNamesWhatItTookOrShadows) {
  KeyBindingEditor editor(MacroTable::editor(), editorKeyPresets()[0].definition);
  const std::size_t undo = *editor.table().find("UNDO");
  const std::size_t cut = *editor.table().find("BFCT");
  EXPECT_EQ(editor.binding(undo), "Ctrl+Z");

  KeyCapture capture;
  capture.press(kCtrlX);
  capture.press(kU);
  EXPECT_EQ(editor.bind(undo, capture), std::vector<std::string>{"BFCT"}) << "Ctrl+X alone would never be reached";
  EXPECT_NE(editor.definition().find("^88+85=UNDO"), std::string::npos) << editor.definition();
  EXPECT_EQ(editor.line(undo), platform::utf8ToSjis("前の操作を取消す\tCtrl+X ⇒ U"));

  KeyCapture same;
  same.press(kCtrlX);
  EXPECT_EQ(editor.bind(*editor.table().find("BFCP"), same), (std::vector<std::string>{"BFCT", "UNDO"}));
  EXPECT_EQ(editor.binding(cut), platform::utf8ToSjis("割当なし")) << "the same strokes move to the new macro";
  editor.unbind(undo);
  EXPECT_EQ(editor.definition().find("UNDO"), std::string::npos);
}

}  // namespace
}  // namespace zorvik::view
