/// \file
/// The program's command line: the switches init, notip, noreg and chdir, a
/// "mailto:" parameter and the settings file to open.
///
/// Switches are recognised with a "-" or "--" prefix, without regard to case.
/// A "/" prefix is not a switch on Linux: it begins a full path. A parameter
/// whose first seven characters are "mailto:" (any case), with or without a
/// switch prefix, is the mailto request; the text after those characters is
/// the address part. The first other plain parameter is the file to open.
#pragma once

#include <string>
#include <vector>

namespace zorvik::core {

struct CommandLine {
  bool init = false;
  bool mailto = false;
  std::string mailtoText;
  bool notip = false;
  bool noreg = false;
  bool chdir = false;
  std::string fileName;
  /// Parameters that were neither a known switch nor the file.
  std::vector<std::string> unknown;

  static CommandLine parse(const std::vector<std::string>& arguments);
};

}  // namespace zorvik::core
