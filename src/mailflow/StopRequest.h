/// \file
/// The user's wish to stop a running workflow: set from any thread (a
/// cancel button, SIGINT in zorvik-cli), read by the workflow. The first
/// request lets the workflow finish the mail in hand and end cleanly with
/// everything done so far kept; a second one (the user insists, the server
/// does not answer) breaks off at once, still keeping every mail stored.
#pragma once

#include <atomic>

namespace zorvik::mailflow {

class StopRequest {
public:
  void request() { requests_.fetch_add(1); }
  /// Stop between mails.
  bool requested() const { return requests_.load() > 0; }
  /// Stop now.
  bool insisted() const { return requests_.load() > 1; }
  /// Ready for the next workflow.
  void clear() { requests_.store(0); }

private:
  std::atomic<int> requests_{0};
};

}  // namespace zorvik::mailflow
