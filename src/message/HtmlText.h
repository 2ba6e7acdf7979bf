/// \file
/// The plain text of an HTML document, so that a mail that comes as HTML
/// only can be read, searched, sorted and quoted like any other: block
/// elements and <br> end lines, paragraphs, headings, lists, tables and
/// rules are set off by an empty line, list items start with "・", table
/// cells are separated by a blank, a link keeps its URL after its text
/// ("text <https://...>"), an image shows its alt text in brackets; scripts,
/// styles and the document head are left out, and runs of white space
/// collapse except inside <pre>.
///
/// The document is read by libxml2's lenient HTML parser: any bytes give
/// some text, never an error. Entities are resolved. The charset is the
/// part's own (its Content-Type parameter) when it has one, else what the
/// document declares in a <meta> element; Japanese charsets are converted
/// by Zorvik's own codecs, so the NEC and IBM characters of code page 932
/// come through.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

class HtmlText {
public:
  /// The text of `html` as Shift_JIS lines, each ending in CR LF, at most
  /// one empty line in a row and none at either end; empty when the
  /// document shows no text. `charset` is the MIME charset, empty when the
  /// part named none.
  static std::string render(std::string_view html, std::string_view charset);
};

}  // namespace zorvik::message
