#include "support/MailReadBack.h"

#include "support/PythonScript.h"

namespace zorvik::test {
namespace {

constexpr const char* kReader = R"(import email, email.header, email.utils, sys
m = email.message_from_binary_file(open(sys.argv[1], 'rb'))
def text(value):
    return ''.join(p.decode(c or 'ascii') if isinstance(p, bytes) else p
                   for p, c in email.header.decode_header(value))
print('subject\t' + text(m['Subject']))
for field in ('In-Reply-To', 'References'):
    if m[field] is not None:
        print(field.lower() + '\t' + str(m[field]))
for part in m.walk():
    if part.is_multipart():
        continue
    payload = part.get_payload(decode=True)
    name = part.get_filename()
    if name:
        names = [v for k, v in part.get_params(header='content-disposition') if k == 'filename']
        print('file\t' + text(name) + '\t' + email.utils.collapse_rfc2231_value(names[-1]) + '\t' + payload.hex())
    else:
        print('text\t' + payload.decode(part.get_content_charset()).replace('\r\n', '|').replace('\n', '|'))
)";

}  // namespace

std::string readMailBack(const std::string& path) { return runPython(kReader, {path}); }

std::string hexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

}  // namespace zorvik::test
