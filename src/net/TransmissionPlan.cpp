#include "net/TransmissionPlan.h"

namespace zorvik::net {

std::vector<Transmission> TransmissionPlan::of(const message::ComposedMail& mail, bool ccWithoutAttachments,
                                               bool bccWithoutAttachments) {
  using message::ComposedMail;
  unsigned leftOut = 0;
  if (mail.hasAttachments) {
    if (ccWithoutAttachments) leftOut |= ComposedMail::kCc;
    if (bccWithoutAttachments) leftOut |= ComposedMail::kBcc;
  }
  std::vector<Transmission> plan;
  const auto add = [&](Transmission transmission) {
    if (!mail.recipients(transmission.lists).empty()) plan.push_back(transmission);
  };
  add({ComposedMail::kAll & ~leftOut, true});
  if (leftOut != 0) add({leftOut, false});
  if (plan.empty()) plan.push_back({ComposedMail::kAll, true});
  return plan;
}

}  // namespace zorvik::net
