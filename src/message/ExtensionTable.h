/// \file
/// The pairs of content type and file extension that received and sent mail
/// share: a nameless attachment gets the extension of its type, an attached
/// file gets the type of its extension. Searched in order, first match wins,
/// letter case ignored on both sides.
#pragma once

#include <string_view>

namespace zorvik::message {

class ExtensionTable {
public:
  /// The extension (with its dot) for a content type; ".000" when the type
  /// is not in the table.
  static std::string_view extensionFor(std::string_view contentType);

  /// The content type for an extension (with its dot);
  /// "application/octet-stream" when the extension is not in the table.
  static std::string_view contentTypeFor(std::string_view extension);
};

}  // namespace zorvik::message
