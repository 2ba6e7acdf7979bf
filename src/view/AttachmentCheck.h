/// \file
/// The check before an attachment is opened: a file that holds an HTML
/// element able to run code ("<object", "<script" or "<applet", in any
/// letter case) is named in question 40711 before it is opened, and so is a
/// directory. A file that cannot be read passes: opening it will fail and
/// say so.
///
/// The file is read in blocks; an element name cut by a block's end is
/// still found, since the last bytes of each block are read again with the
/// next.
#pragma once

#include <string>

namespace zorvik::view {

class AttachmentCheck {
public:
  static bool needsQuestion(const std::string& path);
};

}  // namespace zorvik::view
