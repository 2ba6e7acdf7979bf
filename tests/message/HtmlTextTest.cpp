// The plain text of HTML mail: layout, links, entities and charsets.
#include "message/HtmlText.h"

#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

namespace zorvik::message {
namespace {

using platform::utf8ToSjis;

// `utf8` as render gives it: Shift_JIS, CR LF line ends.
std::string stored(const std::string& utf8) {
  std::string lines;
  for (const char c : utf8ToSjis(utf8)) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

TEST(HtmlText, LayoutBecomesLines) {
  struct Case {
    const char* html;
    const char* text;  // UTF-8, LF for CR LF
  };
  for (const Case c : {
           Case{"<p>one</p><p>two</p>", "one\n\ntwo\n"},
           Case{"a<br>b<br><br>c<br><br><br><br>d", "a\nb\n\nc\n\nd\n"},
           Case{"<div>one</div><div>two</div>  <div>  </div>", "one\ntwo\n"},
           Case{"<html><head><title>t</title><style>p{}</style></head>"
                "<body><script>x()</script>only   this\n\t text</body></html>",
                "only this text\n"},
           Case{"<ul><li>one</li><li>two</li></ul>after", "・ one\n・ two\n\nafter\n"},
           Case{"<table><tr><td>a</td><td>b</td></tr><tr><th>c</th></tr></table>", "a b\nc\n"},
           Case{"<pre>  keep   this\n  too</pre>x", "  keep   this\n  too\n\nx\n"},
           Case{"a<hr>b", "a\n\n------------------------------\n\nb\n"},
           Case{"<img src=x.png alt=\"logo\"><img src=t.gif alt=\"\">", "[logo]\n"},
           Case{"<a href=\"https://e.example/a?b=1&amp;c=2\">shop</a>", "shop <https://e.example/a?b=1&c=2>\n"},
           Case{"<a href=\"https://e.example/\">https://e.example/</a> <a href=\"mailto:a@b.example\">a@b.example</a>"
                " <a href=\"#top\">top</a> <a href=\"javascript:go()\">go</a>",
                "https://e.example/ a@b.example top go\n"},
           Case{"&lt;&gt;&amp;&quot; &#x3042;&nbsp;x&#8203;y &yen;1", "<>&\" あ xy \\1\n"},
           Case{"", ""},
           Case{"   \n<p> </p>", ""},
       })
    EXPECT_EQ(HtmlText::render(c.html, ""), stored(c.text)) << c.html;
}

TEST(HtmlText, CharsetOfThePartOrOfThePage) {
  const std::string text = "①㈱日本語";
  const std::string sjis = utf8ToSjis(text);
  const std::string jis = "\x1B$B" + std::string("F|K\\8l") + "\x1B(B";  // 日本語
  struct Case {
    std::string html, charset, text;
  };
  for (const Case& c : {
           Case{"<p>" + sjis + "</p>", "Shift_JIS", text},
           Case{"<p>" + jis + "</p>", "ISO-2022-JP", "日本語"},
           Case{"<p>" + text + "</p>", "utf-8", text},
           Case{"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\"><p>" + sjis + "</p>", "", text},
           Case{"<meta charset=\"utf-8\"><p>" + text + "</p>", "", text},
           Case{"<meta charset=\"Shift_JIS\"><p>" + text + "</p>", "UTF-8", text},  // the part's charset wins
       })
    EXPECT_EQ(HtmlText::render(c.html, c.charset), stored(c.text + "\n")) << c.charset << " " << c.html;
}

TEST(HtmlText, BrokenAndDeepDocumentsStillGiveText) {
  EXPECT_EQ(HtmlText::render("<p>unclosed <b>bold <i>both</p> after", ""), "unclosed bold both\r\n\r\nafter\r\n");
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<font><div>";  // unclosed tags pile up
  deep += "x";
  EXPECT_NE(HtmlText::render(deep, "").find("x"), std::string::npos);
  EXPECT_EQ(HtmlText::render(std::string("a\0b<\x81\xFF>", 8), "Shift_JIS").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace zorvik::message
