/// \file
/// Where a search walks: one tray, or a cabinet and everything below it
/// (depth first, in the order the tree lists them), optionally starting at
/// a mail of a tray inside that cabinet and going on from there, as
/// "next unread" does from the mail the user is reading.
#pragma once

#include <cstdint>
#include <string>

namespace zorvik::search {

struct SearchScope {
  std::string cabinet;      // the cabinet walked ("" the top cabinet); unused for one tray
  std::string tray;         // the tray searched alone, or where the walk starts; "" from the start
  std::uint32_t index = 0;  // the first mail of `tray` searched
  bool trayOnly = false;

  static SearchScope oneTray(std::string tray, std::uint32_t index = 0) { return {{}, std::move(tray), index, true}; }
  static SearchScope wholeCabinet(std::string cabinet) { return {std::move(cabinet), {}, 0, false}; }
  /// `cabinet` from mail `index` of `tray` on (`tray` lies inside it).
  static SearchScope startingAt(std::string cabinet, std::string tray, std::uint32_t index) {
    return {std::move(cabinet), std::move(tray), index, false};
  }
};

}  // namespace zorvik::search
