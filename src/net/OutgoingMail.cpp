#include "net/OutgoingMail.h"

#include <algorithm>
#include <stdexcept>

namespace zorvik::net {

std::vector<OutgoingMail> splitRecipients(const OutgoingMail& mail, std::size_t perBatch) {
  if (perBatch == 0) throw std::invalid_argument("splitRecipients: a batch needs room for one recipient");
  if (mail.recipients.empty()) return {mail};
  std::vector<OutgoingMail> batches;
  for (std::size_t first = 0; first < mail.recipients.size(); first += perBatch) {
    OutgoingMail part = mail;
    const std::size_t last = std::min(first + perBatch, mail.recipients.size());
    part.recipients.assign(mail.recipients.begin() + static_cast<std::ptrdiff_t>(first),
                           mail.recipients.begin() + static_cast<std::ptrdiff_t>(last));
    part.batch = static_cast<int>(batches.size());
    batches.push_back(std::move(part));
  }
  return batches;
}

}  // namespace zorvik::net
