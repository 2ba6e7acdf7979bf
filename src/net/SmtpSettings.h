/// \file
/// The personal settings an SMTP session works with, read once when the
/// session is made so a change in the settings dialog does not reach a
/// connection half-way.
#pragma once

#include <cstdint>
#include <string>

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::net {

struct SmtpSettings {
  std::string host;                // item 601
  std::uint16_t port = 25;         // item 603
  int maxSizeKilobytes = 0;        // item 602; 0 or less: any size
  int sendTimeoutSeconds = 0;      // item 604 (connect, blocked sends); 0 or less: none
  int receiveTimeoutSeconds = 0;   // item 605 (each reply); 0 or less: none
  std::string heloName;            // item 606; empty: this end's host name

  static SmtpSettings fromItems(const core::ItemValues& items);
};

}  // namespace zorvik::net
