// How a compose window is started from outside: a mailto link taken apart,
// and the external editor's command line, window title and save keys.
#include <gtest/gtest.h>

#include "platform/TextEncoding.h"
#include "view/EditorWindowRules.h"
#include "view/ExternalEditorCommand.h"
#include "view/MailtoLink.h"

namespace zorvik::view {
namespace {

std::string sjis(const char* utf8) { return platform::sjisLiteral(utf8); }

TEST(MailtoLinkTest, FieldsAreDecoded) {
  struct Case {
    const char* link;
    MailtoLink expected;
  };
  const Case cases[] = {
      {"mailto:taro@example.jp", {"taro@example.jp", "", "", "", ""}},
      {"MAILTO:a@x,b@x?cc=c@x&bcc=d@x&to=e@x", {"a@x,b@x,e@x", "c@x", "d@x", "", ""}},
      {"mailto:a@x?subject=%E4%BC%9A%E8%AD%B0%E3%81%AE%E4%BB%B6&body=line1%0D%0Aline2+plus",
       {"a@x", "", "", sjis("会議の件"), "line1\nline2+plus"}},
      {"mailto:?to=a%40x&unknown=1&subject=100%&body", {"a@x", "", "", "100%", ""}},
      {"a%20b@x?Subject=Hi", {"a b@x", "", "", "Hi", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(MailtoLink::parse(c.link), c.expected) << c.link;
}

TEST(ExternalEditorCommandTest, CommandLines) {
  using V = std::vector<std::string>;
  const EditorEnvironment none{};
  const EditorEnvironment vim{"vim", "nano", true};
  const EditorEnvironment vimNoTerminal{"", "vim", false};
  const EditorEnvironment gui{"gedit --wait", "", true};
  const Caret caret{4, 2};
  EXPECT_EQ(ExternalEditorCommand::build("", "", "/d/Txm000", caret, vim), V{});
  EXPECT_EQ(ExternalEditorCommand::build("notepad.exe", "", "/d/T", caret, none), (V{"xdg-open", "/d/T"}));
  EXPECT_EQ(ExternalEditorCommand::build("notepad.exe", "", "/d/T", caret, vim),
            (V{"x-terminal-emulator", "-e", "vim", "/d/T"}));
  EXPECT_EQ(ExternalEditorCommand::build("notepad.exe", "", "/d/T", caret, vimNoTerminal), (V{"vim", "/d/T"}));
  EXPECT_EQ(ExternalEditorCommand::build("auto", "", "/d/T", caret, gui), (V{"gedit", "--wait", "/d/T"}));
  EXPECT_EQ(ExternalEditorCommand::build("\"/opt/my editor/ed\" -n", "+%Y:%X (%y,%x) 100%", "/d/T", caret, vim),
            (V{"/opt/my editor/ed", "-n", "/d/T", "+5:3", "(4,2)", "100%"}));
  EXPECT_EQ(ExternalEditorCommand::build("ed", "+%Y", "/d/T", std::nullopt, vim), (V{"ed", "/d/T"}));
}

TEST(EditorWindowRulesTest, TitlesAndTheirPatterns) {
  struct Case {
    const char* item111;
    bool fullPath;
    const char* title;
  };
  const Case cases[] = {
      {"%s - ﾒﾓ帳", false, "Txm001.txt - ﾒﾓ帳"},
      {"%s - ﾒﾓ帳", true, "/home/u/work/Txm001.txt - ﾒﾓ帳"},
      {"[%s] 100%% %d %", false, "[Txm001.txt] 100% %d %"},
      {"%s (%s)", false, "Txm001.txt (Txm001.txt)"},
      {"Fixed", true, "Fixed"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(EditorWindowRules::title(c.item111, "/home/u/work/Txm001.txt", c.fullPath), c.title) << c.item111;
  // Every character a regular expression would read as an operator is escaped.
  EXPECT_EQ(EditorWindowRules::titlePattern("a.b (c) [d]*+?|^$\\{1}"),
            "^a\\.b \\(c\\) \\[d\\]\\*\\+\\?\\|\\^\\$\\\\\\{1\\}$");
}

TEST(EditorWindowRulesTest, SaveKeysOfEveryStoredForm) {
  using V = std::vector<std::string>;
  struct Case {
    const char* item107;
    V keys;
  };
  const Case cases[] = {
      {"FS", {"alt+f", "s"}},
      {"fs", {"alt+f", "s"}},
      {" F S ", {"alt+f", "s"}},
      {"FAS", {"alt+f", "a", "s"}},
      {"", {}},
      {"^83", {"ctrl+s"}},
      {"#70,83", {"alt+f", "s"}},
      {"#!^112, 13", {"alt+shift+ctrl+F1", "Return"}},
      {"^250", {}},            // no key xdotool knows: nothing sent
      {"1", {"alt+1"}},        // a lone digit is a menu letter
      {"F-S", {"alt+f", "s"}},  // punctuation has no menu letter
      {"ABCDEFGHIJKL", {"alt+a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
  };
  for (const Case& c : cases) EXPECT_EQ(EditorWindowRules::saveKeys(c.item107), c.keys) << c.item107;
}

}  // namespace
}  // namespace zorvik::view
