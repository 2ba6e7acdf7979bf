#include "core/WorkingDirectories.h"

#include "platform/FileSystem.h"

namespace zorvik::core {

WorkingDirectories WorkingDirectories::derive(std::string_view workFolder) {
  const std::string base = workFolder.empty() ? std::string(".tmp") : std::string(workFolder);
  const auto below = [&base](std::string_view name) { return platform::joinPath(base, name); };
  return {base,
          below("ed/Txm%03d"),
          below("MIMECV"),
          below("MIMEATTX"),
          below("TxTmpH"),
          below("TxTmpB"),
          below("RxMail")};
}

}  // namespace zorvik::core
