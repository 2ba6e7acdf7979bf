/// \file
/// Thread keys: four 16-bit sums computed from a Message-Id, eight bytes that
/// fit in every index record. A mail's own key comes from its Message-Id, its
/// parent key from the id it answers; the thread display pairs them without
/// reading any mail text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zorvik::message {

using ThreadKey = std::array<std::uint16_t, 4>;

/// The key of the Message-Id text `id` (without angle brackets). The text is
/// cut into four pieces, the first three of size/4 bytes and the fourth of
/// the rest (so an id shorter than 4 bytes lands whole in the fourth); each
/// piece is summed byte by byte (bytes taken as signed 8-bit values, sums
/// modulo 65536) with a weight row of its own. Stored keys depend on these
/// exact numbers, so they must never change.
ThreadKey threadKeyOf(std::string_view id);

/// True when every value is 0 (no key: no Message-Id, or no parent).
bool isZero(const ThreadKey& key);

}  // namespace zorvik::message
