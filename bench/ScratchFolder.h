/// \file
/// A fresh folder under the system's temporary folder for one bench
/// program's store, removed with everything in it when the bench ends.
/// Header-only, for every bench program.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace zorvik::bench {

class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvik-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

private:
  std::string path_;
};

}  // namespace zorvik::bench
