#include "view/StartPassword.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <optional>
#include <random>

#include "core/SettingsItemTable.h"
#include "message/Md5.h"

namespace zorvik::view {
namespace {

// scrypt with N = 2^15, r = 8, p = 1: 32 MB and a few tens of milliseconds
// per try, paid once at start.
constexpr std::string_view kTag = "$scrypt$ln=15,r=8,p=1$";
constexpr std::uint64_t kCost = std::uint64_t{1} << 15;
constexpr std::uint64_t kBlockSize = 8;
constexpr std::uint64_t kParallel = 1;
constexpr std::uint64_t kMemory = 64ULL * 1024 * 1024;
constexpr std::size_t kHashBytes = 32;

// The older form's MD5 rounds.
constexpr int kLegacyRounds = 4096;

std::string hexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

std::optional<std::string> scryptHex(std::string_view password, std::string_view saltHex) {
  std::array<unsigned char, kHashBytes> hash{};
  if (EVP_PBE_scrypt(password.data(), password.size(), reinterpret_cast<const unsigned char*>(saltHex.data()),
                     saltHex.size(), kCost, kBlockSize, kParallel, kMemory, hash.data(), hash.size()) != 1)
    return std::nullopt;
  return hexOf({reinterpret_cast<const char*>(hash.data()), hash.size()});
}

std::string legacyDigest(std::string_view saltHex, std::string_view password) {
  std::string digest;
  for (int round = 0; round < kLegacyRounds; ++round) {
    message::Md5 md5;
    md5.update(digest);
    md5.update(saltHex);
    md5.update(password);
    const auto bytes = md5.finish();
    digest.assign(bytes.begin(), bytes.end());
  }
  return hexOf(digest);
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

bool StartPassword::asked(const core::ItemValues& settings, bool restoring) {
  if (settings.number(core::item::kStartPassword) < 0) return false;
  return !restoring || settings.flag(core::item::kPasswordOnRestore);
}

std::string StartPassword::stored(std::string_view password, std::string_view salt) {
  const std::string saltHex = hexOf(salt);
  // Only an exhausted machine fails here; an empty hash then matches nothing.
  return std::string(kTag) + saltHex + "$" + scryptHex(password, saltHex).value_or(std::string());
}

bool StartPassword::matches(std::string_view stored, std::string_view typed) {
  if (stored.empty()) return true;
  if (isCurrent(stored)) {
    const std::string_view rest = stored.substr(kTag.size());
    const std::size_t dollar = rest.find('$');
    if (dollar == std::string_view::npos) return false;
    const auto hash = scryptHex(typed, rest.substr(0, dollar));
    return hash && !rest.substr(dollar + 1).empty() && sameText(*hash, rest.substr(dollar + 1));
  }
  const std::size_t colon = stored.find(':');
  if (colon == std::string_view::npos) return false;
  return sameText(legacyDigest(stored.substr(0, colon), typed), stored.substr(colon + 1));
}

bool StartPassword::isCurrent(std::string_view stored) { return stored.starts_with(kTag); }

std::string StartPassword::freshSalt() {
  std::string salt(16, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), static_cast<int>(salt.size())) == 1) return salt;
  std::random_device random;
  for (char& c : salt) c = static_cast<char>(random() & 0xFF);
  return salt;
}

}  // namespace zorvik::view
