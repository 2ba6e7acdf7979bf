/// \file
/// Mail-domain aliases used when two addresses are compared: each pair says
/// that the first domain text may stand for the second ("mail.example.ne.jp"
/// = "example.ne.jp"). Parsed from the settings text of aliases.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvik::core {

struct DomainAlias {
  std::string from;  // text before the first "="
  std::string to;    // text after it
};

using AliasTable = std::vector<DomainAlias>;

/// Cuts `text` into lines (CR LF or LF); every line holding "=" gives one pair,
/// other lines are dropped.
AliasTable parseAliasTable(std::string_view text);

}  // namespace zorvik::core
