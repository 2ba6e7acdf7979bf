/// \file
/// The hook through which compaction tells link maintenance which mails got
/// new record numbers, so the links pointing at them can follow.
#pragma once

#include <cstdint>
#include <string_view>

namespace zorvik::store {

/// Told about every referenced mail that compaction moved.
class CompactionListener {
public:
  virtual ~CompactionListener() = default;
  virtual void recordMoved(std::string_view tray, std::uint32_t oldIndex, std::uint32_t newIndex) = 0;
};

}  // namespace zorvik::store
