#include "message/MessageId.h"

#include "message/AddressParser.h"
#include "message/MailDate.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace zorvik::message {
namespace {

std::atomic<std::uint32_t> counter{0};

constexpr int kCountBits = 10;
constexpr std::uint32_t kCountMask = (1u << kCountBits) - 1;

// The process id is read at each call, not once: a child forked after the
// first id must not continue the parent's sequence as its own.
std::uint32_t counterField() {
  const auto process = static_cast<std::uint32_t>(::getpid());
  return (process << kCountBits) | (counter.fetch_add(1) & kCountMask);
}

// The address that ends the id. Without it the id would be "<...>" with no
// "@", which is not a valid id and not unique between users.
std::string senderAddress(std::string_view fromValue, std::string_view userAddress) {
  const auto open = fromValue.find('<');
  const auto close = open == std::string_view::npos ? open : fromValue.find('>', open);
  if (close != std::string_view::npos && close > open + 1)
    return std::string(fromValue.substr(open + 1, close - open - 1));
  if (open == std::string_view::npos) {
    const core::AliasTable noAliases;
    std::string bare = AddressParser(noAliases).parseOne(fromValue).mail.address;
    if (bare.find('@') != std::string::npos) return bare;
  }
  return std::string(userAddress);
}

}  // namespace

std::string MessageId::make(std::time_t date, int zoneHours, std::string_view fromValue,
                            std::string_view userAddress, bool counting) {
  const LocalTime local = MailDate::toLocal(date, zoneHours);
  const std::uint32_t count = counting ? counterField() : 0;
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "<%02d%02d%02d%02d%02d%02d.%08X.", local.year - 1900,
                local.month, local.day, local.hour, local.minute, local.second, count);
  return stamp + senderAddress(fromValue, userAddress) + ">";
}

}  // namespace zorvik::message
