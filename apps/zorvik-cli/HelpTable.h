/// \file
/// What each zorvik-cli command does, in words, with one command line a
/// user would type: the text `help` shows beside the synopsis a command
/// registers. Kept apart from the commands, so that a command's file stays
/// a parser and a call; every command has its row.
#pragma once

#include <string_view>

namespace zorvik::cli {

struct Help {
  std::string_view command;
  std::string_view text;     ///< what it does, one paragraph
  std::string_view example;  ///< one command line a user would type
};

/// The row of `command`; null when it has none.
const Help* helpOf(std::string_view command);

}  // namespace zorvik::cli
