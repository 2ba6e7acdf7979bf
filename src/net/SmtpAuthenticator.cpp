#include "net/SmtpAuthenticator.h"

#include "message/Base64.h"
#include "message/Md5.h"

namespace zorvik::net {
namespace {

constexpr std::size_t kMd5Block = 64;

// HMAC-MD5 (RFC 2104) of `text` keyed by `key`, as 32 lower-case hex digits.
std::string hmacMd5Hex(std::string_view key, std::string_view text) {
  std::string block(key);
  if (block.size() > kMd5Block) {
    message::Md5 md5;
    md5.update(key);
    const message::Md5::Digest digest = md5.finish();
    block.assign(digest.begin(), digest.end());
  }
  block.resize(kMd5Block, '\0');
  std::string inner(kMd5Block, '\0');
  std::string outer(kMd5Block, '\0');
  for (std::size_t i = 0; i < kMd5Block; ++i) {
    inner[i] = static_cast<char>(block[i] ^ 0x36);
    outer[i] = static_cast<char>(block[i] ^ 0x5c);
  }
  message::Md5 first;
  first.update(inner);
  first.update(text);
  const message::Md5::Digest innerDigest = first.finish();
  return message::Md5::hex(outer + std::string(innerDigest.begin(), innerDigest.end()));
}

bool showsPassword(SmtpAuthMethod mechanism) {
  return mechanism == SmtpAuthMethod::Plain || mechanism == SmtpAuthMethod::Login;
}

}  // namespace

SmtpAuthMethod smtpAuthMethodOf(int value) {
  return value >= 0 && value <= 4 ? static_cast<SmtpAuthMethod>(value) : SmtpAuthMethod::None;
}

std::string_view smtpAuthMechanismName(SmtpAuthMethod mechanism) {
  switch (mechanism) {
    case SmtpAuthMethod::Plain: return "PLAIN";
    case SmtpAuthMethod::Login: return "LOGIN";
    case SmtpAuthMethod::CramMd5: return "CRAM-MD5";
    default: return {};
  }
}

SmtpAuthChoice chooseSmtpAuth(SmtpAuthMethod wanted, const SmtpCapabilities& offered, bool encrypted,
                              bool allowPlainInClear) {
  using Outcome = SmtpAuthChoice::Outcome;
  const bool clearAllowed = encrypted || allowPlainInClear;
  if (wanted != SmtpAuthMethod::Automatic) {
    if (!offered.offersAuth(smtpAuthMechanismName(wanted))) return {Outcome::NotOffered, wanted};
    if (showsPassword(wanted) && !clearAllowed) return {Outcome::RefusedInClear, wanted};
    return {Outcome::Use, wanted};
  }
  bool refusedInClear = false;
  for (const SmtpAuthMethod candidate : {SmtpAuthMethod::CramMd5, SmtpAuthMethod::Plain, SmtpAuthMethod::Login}) {
    if (!offered.offersAuth(smtpAuthMechanismName(candidate))) continue;
    if (showsPassword(candidate) && !clearAllowed) {
      refusedInClear = true;
      continue;
    }
    return {Outcome::Use, candidate};
  }
  return refusedInClear ? SmtpAuthChoice{Outcome::RefusedInClear, SmtpAuthMethod::Plain}
                        : SmtpAuthChoice{Outcome::NotOffered, SmtpAuthMethod::None};
}

SmtpAuthenticator::SmtpAuthenticator(SmtpAuthMethod mechanism, std::string user, std::string password)
    : mechanism_(mechanism), user_(std::move(user)), password_(std::move(password)) {}

std::string SmtpAuthenticator::plainCredentials() const {
  return message::base64Encode(std::string(1, '\0') + user_ + '\0' + password_);
}

std::string SmtpAuthenticator::firstCommand() {
  answered_ = 0;
  if (mechanism_ == SmtpAuthMethod::Plain) return "AUTH PLAIN " + plainCredentials() + "\r\n";
  return "AUTH " + std::string(smtpAuthMechanismName(mechanism_)) + "\r\n";
}

std::string SmtpAuthenticator::answer(std::string_view challenge) {
  const int step = answered_++;
  switch (mechanism_) {
    case SmtpAuthMethod::Plain:
      // A server that ignored the initial response asks for it.
      if (step == 0) return plainCredentials() + "\r\n";
      break;
    case SmtpAuthMethod::Login:
      // The prompts are "Username:" and "Password:", in this order.
      if (step == 0) return message::base64Encode(user_) + "\r\n";
      if (step == 1) return message::base64Encode(password_) + "\r\n";
      break;
    case SmtpAuthMethod::CramMd5:
      if (step == 0)
        return message::base64Encode(user_ + " " + hmacMd5Hex(password_, message::base64DecodeSkipping(challenge))) +
               "\r\n";
      break;
    default: break;
  }
  return "*\r\n";
}

}  // namespace zorvik::net
