/// \file
/// Arranges a list's mails as threads. The rows are visited in their list
/// order; each row carries its own thread key (from its Message-Id) and its
/// parent key (from In-Reply-To or the last References entry), zero when
/// there is none.
///
///  - A row without a parent key starts a thread at the root.
///  - A row whose parent was already visited becomes that parent's last
///    child. With several rows of the same own key, the first one visited
///    is the parent.
///  - A row whose parent has not been visited (a reply listed before its
///    parent, or one whose parent is not in the tray) goes to the root and
///    waits. When a row is placed, the first waiting row whose parent key
///    equals its own key moves under it: one per row, so of two replies
///    listed before their parent only the first is attached.
///  - A zero own key never makes a parent.
///
/// The result is the rows in depth-first order with their depth. Building
/// is linear in the rows: visited keys and waiting rows are hashed (the
/// first entry with a key is the one found, exactly as a search in
/// insertion order would find it).
#pragma once

#include <cstdint>
#include <vector>

#include "store/IndexRecord.h"

namespace zorvik::view {

struct ThreadKeys {
  store::ThreadKey own{};
  store::ThreadKey parent{};
};

struct ThreadPlace {
  std::uint32_t row = 0;    // position in the input
  std::uint32_t depth = 0;  // 0 at the root
};

std::vector<ThreadPlace> threadOrder(const std::vector<ThreadKeys>& rows);

}  // namespace zorvik::view
