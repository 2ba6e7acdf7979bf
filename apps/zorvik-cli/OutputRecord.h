/// \file
/// One output record of zorvik-cli as scripts read it: UTF-8 fields
/// separated by tabs, with a tab, CR, LF and backslash inside a field
/// written \t, \r, \n, \\ so that every record stays one line; or, with
/// --json, one JSON array of strings.
#pragma once

#include <string>
#include <vector>

namespace zorvik::cli {

/// The record of `utf8Fields`, without the line end.
std::string outputRecord(const std::vector<std::string>& utf8Fields, bool json);

}  // namespace zorvik::cli
