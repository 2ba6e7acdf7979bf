/// \file
/// The states a dial-up connection passes through while it is dialled, by
/// the numbers of the platform's dial-up service, and the texts the status
/// line shows for them.
#pragma once

#include <string>

namespace zorvik::net {

class DialState {
public:
  static constexpr int kOpenPort = 0;
  static constexpr int kConnectDevice = 2;
  static constexpr int kAuthenticate = 5;
  static constexpr int kConnected = 0x2000;
  static constexpr int kDisconnected = 0x2001;

  /// The text of `state` (Shift_JIS); "不明な状態" for a number not in the
  /// table.
  static const std::string& text(int state);
};

}  // namespace zorvik::net
