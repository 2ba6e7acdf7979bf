#include "message/HtmlText.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "core/SjisText.h"
#include "message/JapaneseCodec.h"
#include "message/MimeCharset.h"
#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

// Without XML_PARSE_HUGE the parser gives up below 256 open elements, and
// HTML mail that never closes its <font> tags goes that deep.
constexpr int kParseOptions =
    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | XML_PARSE_HUGE;
constexpr std::string_view kListMark = "\xE3\x83\xBB";  // "・" in UTF-8
constexpr std::string_view kRule = "------------------------------";

// What an element does to the text around it.
enum class Role {
  inlineText,  // anything not listed: its text runs on
  skipped,     // nothing of it is shown
  lineBreak,   // <br>
  block,       // starts and ends a line
  paragraph,   // set off by an empty line
  listItem,    // a line starting with the list mark
  cell,        // separated from the cell before by a blank
  rule,        // <hr>
  preformatted,
  link,
  image,
};

constexpr std::array<std::pair<std::string_view, Role>, 46> kRoles{{
    {"script", Role::skipped},     {"style", Role::skipped},      {"head", Role::skipped},
    {"title", Role::skipped},      {"template", Role::skipped},   {"br", Role::lineBreak},
    {"div", Role::block},          {"tr", Role::block},           {"dt", Role::block},
    {"dd", Role::block},           {"section", Role::block},      {"article", Role::block},
    {"header", Role::block},       {"footer", Role::block},       {"nav", Role::block},
    {"aside", Role::block},        {"address", Role::block},      {"center", Role::block},
    {"form", Role::block},         {"fieldset", Role::block},     {"figure", Role::block},
    {"figcaption", Role::block},   {"main", Role::block},         {"caption", Role::block},
    {"tbody", Role::block},        {"thead", Role::block},        {"tfoot", Role::block},
    {"p", Role::paragraph},        {"h1", Role::paragraph},       {"h2", Role::paragraph},
    {"h3", Role::paragraph},       {"h4", Role::paragraph},       {"h5", Role::paragraph},
    {"h6", Role::paragraph},       {"ul", Role::paragraph},       {"ol", Role::paragraph},
    {"dl", Role::paragraph},       {"table", Role::paragraph},    {"blockquote", Role::paragraph},
    {"li", Role::listItem},        {"td", Role::cell},            {"th", Role::cell},
    {"hr", Role::rule},            {"pre", Role::preformatted},   {"a", Role::link},
    {"img", Role::image},
}};

Role roleOf(const xmlNode* node) {
  const std::string_view name = node->name ? reinterpret_cast<const char*>(node->name) : "";
  for (const auto& [element, role] : kRoles)
    if (core::equalsIgnoringAsciiCase(element, name)) return role;
  return Role::inlineText;
}

std::string attribute(const xmlNode* node, const char* name) {
  std::unique_ptr<xmlChar, void (*)(void*)> value(xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)), xmlFree);
  return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

bool isCollapsible(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Characters that only steer layout in the mail's HTML (no-break and other
// fixed-width spaces become blanks, zero-width joiners and soft hyphens
// vanish), so that they do not turn into replacement marks in Shift_JIS.
std::string withPlainSpaces(std::string_view utf8) {
  static constexpr std::array<std::string_view, 9> kSpaces{
      "\xC2\xA0", "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85",
      "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89"};
  static constexpr std::array<std::string_view, 10> kInvisible{
      "\xC2\xAD",     "\xCD\x8F",     "\xE2\x80\x8B", "\xE2\x80\x8C", "\xE2\x80\x8D",
      "\xE2\x80\x8E", "\xE2\x80\x8F", "\xE2\x81\xA0", "\xEF\xBB\xBF", "\xE2\x80\x8A"};
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto matches = [&](std::string_view mark) { return utf8.substr(i, mark.size()) == mark; };
    if (const auto space = std::find_if(kSpaces.begin(), kSpaces.end(), matches); space != kSpaces.end()) {
      text += ' ';
      i += space->size();
    } else if (const auto gone = std::find_if(kInvisible.begin(), kInvisible.end(), matches); gone != kInvisible.end()) {
      i += gone->size();
    } else {
      text += utf8[i++];
    }
  }
  return text;
}

// Collects the text in UTF-8 (libxml2's own form) with its line structure.
class TextCollector {
public:
  void text(std::string_view utf8, bool preformatted) {
    const std::string plain = withPlainSpaces(utf8);
    if (preformatted) {
      for (const char c : plain) {
        if (c == '\r') continue;
        if (c == '\n') {
          lineBreak();
          continue;
        }
        put(c);
      }
      return;
    }
    for (const char c : plain) {
      if (isCollapsible(c)) {
        space_ = true;
        continue;
      }
      put(c);
    }
  }

  void word(std::string_view utf8) {
    space_ = true;
    text(utf8, false);
  }

  void space() { space_ = true; }

  // Asks for at least `lines` line ends between the text so far and the next.
  void breakLines(int lines) { breaks_ = std::max(breaks_, lines); }

  // A <br>: one line end of its own, so several in a row give empty lines.
  void lineBreak() {
    applyBreaks();
    out_ += '\n';
    space_ = false;
  }

  std::size_t size() const { return out_.size(); }
  std::string_view since(std::size_t at) const { return std::string_view(out_).substr(std::min(at, out_.size())); }
  const std::string& text() const { return out_; }

private:
  void put(char c) {
    applyBreaks();
    if (space_ && !out_.empty() && out_.back() != '\n' && out_.back() != ' ') out_ += ' ';
    space_ = false;
    out_ += c;
  }

  void applyBreaks() {
    if (out_.empty()) {
      breaks_ = 0;
      return;
    }
    int present = 0;
    for (auto it = out_.rbegin(); it != out_.rend() && *it == '\n'; ++it) ++present;
    for (; present < breaks_; ++present) out_ += '\n';
    if (breaks_ > 0) space_ = false;
    breaks_ = 0;
  }

  std::string out_;
  int breaks_ = 0;
  bool space_ = false;
};

// Walks the document without recursion (a mail may nest elements
// thousands deep) and feeds the collector.
class DocumentWalker {
public:
  explicit DocumentWalker(TextCollector& out) : out_(out) {}

  void walk(xmlNode* root) {
    xmlNode* node = root;
    while (node) {
      if (enter(node) && node->children) {
        node = node->children;
        continue;
      }
      while (node) {
        leave(node);
        if (node == root) return;
        if (node->next) {
          node = node->next;
          break;
        }
        node = node->parent;
      }
    }
  }

private:
  struct OpenLink {
    std::string href;
    std::size_t textStart;
  };

  // Returns whether the node's children are to be walked.
  bool enter(xmlNode* node) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content) out_.text(reinterpret_cast<const char*>(node->content), preformatted_ > 0);
      return false;
    }
    if (node->type != XML_ELEMENT_NODE) return node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
    switch (roleOf(node)) {
      case Role::skipped: return false;
      case Role::lineBreak: out_.lineBreak(); return false;
      case Role::block: out_.breakLines(1); return true;
      case Role::paragraph: out_.breakLines(2); return true;
      case Role::listItem:
        out_.breakLines(1);
        out_.text(kListMark, false);
        out_.space();
        return true;
      case Role::cell: out_.space(); return true;
      case Role::rule:
        out_.breakLines(2);
        out_.text(kRule, false);
        out_.breakLines(2);
        return false;
      case Role::preformatted:
        out_.breakLines(2);
        ++preformatted_;
        return true;
      case Role::link: links_.push_back({attribute(node, "href"), out_.size()}); return true;
      case Role::image:
        if (const std::string alt = attribute(node, "alt"); alt.find_first_not_of(" \t\r\n") != std::string::npos)
          out_.word("[" + alt + "]");
        return false;
      case Role::inlineText: return true;
    }
    return true;
  }

  void leave(xmlNode* node) {
    if (node->type != XML_ELEMENT_NODE) return;
    switch (roleOf(node)) {
      case Role::block:
      case Role::listItem: out_.breakLines(1); return;
      case Role::paragraph: out_.breakLines(2); return;
      case Role::preformatted:
        --preformatted_;
        out_.breakLines(2);
        return;
      case Role::link: closeLink(); return;
      default: return;
    }
  }

  // The URL follows the link's text unless the text already says it, or it
  // leads nowhere outside the mail.
  void closeLink() {
    if (links_.empty()) return;
    const OpenLink link = std::move(links_.back());
    links_.pop_back();
    const std::string_view href = link.href;
    if (href.empty() || href.front() == '#' || core::startsWithIgnoringAsciiCase(href, "javascript:")) return;
    std::string_view shown = out_.since(link.textStart);
    while (!shown.empty() && isCollapsible(shown.front())) shown.remove_prefix(1);
    while (!shown.empty() && isCollapsible(shown.back())) shown.remove_suffix(1);
    const std::string_view bare = core::startsWithIgnoringAsciiCase(href, "mailto:") ? href.substr(7) : href;
    if (shown == href || shown == bare) return;
    out_.word("<" + std::string(href) + ">");
  }

  TextCollector& out_;
  std::vector<OpenLink> links_;
  int preformatted_ = 0;
};

// Lines without trailing blanks, at most one empty line in a row, none at
// either end; converted to Shift_JIS with CR LF.
std::string asStoredLines(std::string_view utf8) {
  std::string result;
  bool emptyPending = false;
  while (!utf8.empty()) {
    const auto lf = utf8.find('\n');
    std::string_view line = utf8.substr(0, lf);
    utf8.remove_prefix(lf == std::string_view::npos ? utf8.size() : lf + 1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    if (line.empty()) {
      emptyPending = !result.empty();
      continue;
    }
    if (emptyPending) result += "\r\n";
    emptyPending = false;
    result += platform::utf8ToSjis(line, kSjisReplacement);
    result += "\r\n";
  }
  return result;
}

void ignoreError(void*, const char*, ...) {}
void ignoreStructuredError(void*, xmlErrorPtr) {}

using Document = std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)>;

Document parse(std::string_view bytes, const char* encoding, int extraOptions) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
  // Reports would go to stderr; the error handlers are per thread.
  xmlSetGenericErrorFunc(nullptr, ignoreError);
  xmlSetStructuredErrorFunc(nullptr, ignoreStructuredError);
  return Document(htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding,
                                 kParseOptions | extraOptions),
                  xmlFreeDoc);
}

}  // namespace

std::string HtmlText::render(std::string_view html, std::string_view charset) {
  if (html.empty() || html.size() > INT_MAX) return {};
  std::string declared(charset);
  Document document(nullptr, xmlFreeDoc);
  if (declared.empty()) {
    // libxml2 honours a <meta> charset by itself; its name is kept so that
    // a Japanese one can be converted by our codecs instead.
    document = parse(html, nullptr, 0);
    if (document && document->encoding) declared = reinterpret_cast<const char*>(document->encoding);
  }
  if (!declared.empty()) {
    const std::string utf8 = platform::sjisToUtf8(MimeCharset::toSjis(declared, html));
    document = parse(utf8, "UTF-8", HTML_PARSE_IGNORE_ENC);
  }
  if (!document) return {};
  TextCollector text;
  DocumentWalker(text).walk(reinterpret_cast<xmlNode*>(document.get()));
  return asStoredLines(text.text());
}

}  // namespace zorvik::message
