/// \file
/// The work files and folders of a store. Each is a tray name: relative to the
/// top cabinet unless the work folder setting gives a full path.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::core {

struct WorkingDirectories {
  std::string workDirectory;          // ".tmp" or the work folder setting
  std::string composeFilePattern;     // numbered compose files, "%03d" in the name
  std::string mimeConversionFile;
  std::string attachmentStaging;
  std::string outgoingHeaderFile;
  std::string outgoingBodyFile;
  std::string newMailWorkFile;        // a tray name: the new-mail work file

  /// Derived from the work folder setting (empty for the default ".tmp").
  static WorkingDirectories derive(std::string_view workFolder);
};

}  // namespace zorvik::core
