/// \file
/// The floor under every reading benchmark: a file read whole with one
/// pread and nothing done with its bytes. Header-only, for the bench
/// programs that compare a reader of the store with it.
#pragma once

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace zorvik::bench {

/// Reads `path` whole; false when it could not be opened or read short.
inline bool readFileWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  std::string content(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
  const ssize_t got = ::pread(fd, content.data(), content.size(), 0);
  ::close(fd);
  benchmark::DoNotOptimize(content.data());
  return got == static_cast<ssize_t>(content.size());
}

}  // namespace zorvik::bench
