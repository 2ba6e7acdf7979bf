#include "net/TlsCertificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstdio>
#include <ctime>

#include "platform/TextEncoding.h"

namespace zorvik::net {
namespace {

std::string nameText(const X509_NAME* name) {
  BIO* out = BIO_new(BIO_s_mem());
  if (out == nullptr) return {};
  // UTF-8 instead of "\E6\97\A5" escapes, so a Japanese name reads as such.
  X509_NAME_print_ex(out, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  const long length = BIO_get_mem_data(out, &data);
  std::string text = length > 0 ? std::string(data, static_cast<std::size_t>(length)) : std::string();
  BIO_free(out);
  return platform::utf8ToSjis(text);
}

std::string timeText(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}

std::string fingerprintText(const X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i > 0) text += ':';
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}

}  // namespace

TlsCertificate TlsCertificate::of(const x509_st* certificate) {
  TlsCertificate facts;
  if (certificate == nullptr) return facts;
  facts.subject = nameText(X509_get_subject_name(certificate));
  facts.issuer = nameText(X509_get_issuer_name(certificate));
  facts.validFrom = timeText(X509_get0_notBefore(certificate));
  facts.validUntil = timeText(X509_get0_notAfter(certificate));
  facts.sha256 = fingerprintText(certificate);
  return facts;
}

}  // namespace zorvik::net
