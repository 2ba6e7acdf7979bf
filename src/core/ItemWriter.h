/// \file
/// Writes item values in the text form the item reader reads, every line
/// ending with CR LF; text values as ItemValueLines writes them, so they
/// read back byte for byte.
#pragma once

#include <string>

#include "core/ItemValues.h"

namespace zorvik::core {

/// Appends one row: a section block for headings, otherwise the item line
/// "##%04d:%s" and the value lines.
void writeItem(std::string& out, const ItemRow& row, const ItemValues& values, std::size_t index);

/// Appends every row up to the end row, then the end line "##9999:...".
void writeItemTable(std::string& out, const ItemValues& values);

}  // namespace zorvik::core
