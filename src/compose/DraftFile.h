/// \file
/// The body file of a draft: a work file "Txm000" ... "Txm999" (the compose
/// file pattern of the work folder, ".tmp/ed/Txm%03d" in the top cabinet by
/// default) that holds the text while it is edited, in the built-in editor
/// or an external one. The first number whose file does not exist is
/// claimed (created exclusively, so two writers never share one); the text
/// is written with CR LF line ends, as every text file of the store.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/SettingsFile.h"
#include "store/StoreLocation.h"

namespace zorvik::compose {

class DraftFile {
public:
  /// How many draft files can exist at once.
  static constexpr int kNumbers = 1000;

  /// The pattern of the draft files of `store`: the settings' compose file
  /// pattern, below the top cabinet unless it is a full path.
  static std::string patternOf(const store::StoreLocation& store, const core::SettingsFile& settings);
  /// `pattern` with its "%03d" made `number` (appended when it has none).
  static std::string numberedName(std::string_view pattern, int number);

  /// Claims the first free draft file of `pattern` and writes `text` (LF or
  /// CR LF between lines) into it. Empty when all 1000 are taken or the
  /// folder cannot be written.
  static std::optional<std::string> create(std::string_view pattern, std::string_view text);
  /// The text of the draft file at `path`, LF between lines.
  static std::optional<std::string> read(std::string_view path);
  /// Replaces the text of the draft file at `path`.
  static bool write(std::string_view path, std::string_view text);
  /// True when the file at `path` can be opened for appending (it is
  /// created when missing, as the window's first save would).
  static bool canAppend(std::string_view path);
};

}  // namespace zorvik::compose
