/// \file
/// The process-wide mark that automatic sorting is running. While it is set
/// the receive commands stay disabled (a receive would append to the
/// new-mail tray under a worker that is moving mails out of it), and so do
/// the user's commands on the new-mail tray.
#pragma once

namespace zorvik::sorting {

class SortingRunMark {
public:
  /// Sets the mark; false, changing nothing, when a run already holds it.
  static bool trySet();
  /// Clears the mark at the end of the run that set it.
  static void clear();
  static bool isSet();
};

}  // namespace zorvik::sorting
