#include "net/TlsFailure.h"

#include <openssl/x509_vfy.h>

#include "core/MessageFormat.h"
#include "platform/TextEncoding.h"

namespace zorvik::net {
namespace {

std::string certificateReason(long error, std::string_view host) {
  using platform::sjisLiteral;
  switch (error) {
    case X509_V_ERR_CERT_HAS_EXPIRED: return sjisLiteral("証明書の有効期限が切れています。");
    case X509_V_ERR_CERT_NOT_YET_VALID: return sjisLiteral("証明書の有効期間がまだ始まっていません。");
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return core::formatMessage(sjisLiteral("証明書はサーバ名「%s」のものではありません。"), {host});
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return sjisLiteral("証明書の発行者が不明です（自己署名の証明書です）。");
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return sjisLiteral("証明書の発行者が不明です（信頼された認証局の署名がありません）。");
    case X509_V_ERR_CERT_REVOKED: return sjisLiteral("証明書は失効しています。");
    default:
      return core::formatMessage(sjisLiteral("証明書を検証できません（%s）。"),
                                 {X509_verify_cert_error_string(error)});
  }
}

}  // namespace

std::string TlsFailure::reason(std::string_view host) const {
  using platform::sjisLiteral;
  switch (kind) {
    case Kind::Certificate: return certificateReason(verifyError, host);
    case Kind::Closed: return sjisLiteral("暗号化の手順の途中でサーバが接続を切りました。");
    case Kind::Handshake:
      return core::formatMessage(sjisLiteral("暗号化の手順でエラーが発生しました（%s）。"), {detail});
    case Kind::Setup:
      return core::formatMessage(sjisLiteral("暗号化の準備ができません（%s）。"), {detail});
  }
  return {};
}

void TlsFailure::report(core::Messages& messages, std::string_view host) const {
  if (kind == Kind::Certificate && certificate) {
    messages.error(core::MessageNumber::TlsCertificateRefused, {host, reason(host), certificate->sha256});
    return;
  }
  messages.error(core::MessageNumber::TlsFailed, {host, reason(host)});
}

}  // namespace zorvik::net
