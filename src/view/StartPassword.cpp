#include "view/StartPassword.h"

#include <random>

#include "core/SettingsItemTable.h"
#include "message/Md5.h"

namespace zorvik::view {
namespace {

constexpr int kRounds = 4096;

std::string hexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

std::string digestOf(std::string_view saltHex, std::string_view password) {
  std::string digest;
  for (int round = 0; round < kRounds; ++round) {
    message::Md5 md5;
    md5.update(digest);
    md5.update(saltHex);
    md5.update(password);
    const auto bytes = md5.finish();
    digest.assign(bytes.begin(), bytes.end());
  }
  return hexOf(digest);
}

}  // namespace

bool StartPassword::asked(const core::ItemValues& settings, bool restoring) {
  if (settings.number(core::item::kStartPassword) < 0) return false;
  return !restoring || settings.flag(core::item::kPasswordOnRestore);
}

std::string StartPassword::stored(std::string_view password, std::string_view salt) {
  const std::string saltHex = hexOf(salt);
  return saltHex + ":" + digestOf(saltHex, password);
}

bool StartPassword::matches(std::string_view stored, std::string_view typed) {
  if (stored.empty()) return true;
  const std::size_t colon = stored.find(':');
  if (colon == std::string_view::npos) return false;
  return digestOf(stored.substr(0, colon), typed) == stored.substr(colon + 1);
}

std::string StartPassword::freshSalt() {
  std::random_device random;
  std::string salt(16, '\0');
  for (char& c : salt) c = static_cast<char>(random() & 0xFF);
  return salt;
}

}  // namespace zorvik::view
