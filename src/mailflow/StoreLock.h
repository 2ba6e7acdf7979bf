/// \file
/// One writer at a time in a store, across processes: the desktop client,
/// a cron job's `zorvik-cli receive` and a script's `zorvik-cli sort` take
/// this lock (a file ".lock" in the top cabinet) for the length of their
/// work, so two receives never share the new-mail work file and two sends
/// never send the same unsent mail. Readers (lists, showing a mail) never
/// take it and never wait for it.
///
/// A second taker is refused at once with a message that names the work
/// under way: 43030 when a receive meets a server workflow, 40185 when a
/// send does, 44202 otherwise. A lock left by a killed process is stale by
/// construction (the kernel drops it with its holder).
#pragma once

#include <optional>
#include <string>

#include "platform/ProcessLock.h"

namespace zorvik::mailflow {

class Document;

/// The work a lock is taken for.
enum class StoreWork { Receive, Send, SendReceive, ServerTray, Deliver, Sort, Compact, Recover, StoreChange };

class StoreLock {
public:
  /// Takes the store's lock for `work`. Empty, after the message that
  /// says who holds it, when it is held; after 44205 when the lock file
  /// cannot be made (the store is missing or read-only).
  static std::optional<StoreLock> take(const Document& document, StoreWork work);

  /// The lock when it is free; empty, without a message, otherwise.
  static std::optional<StoreLock> tryTake(const Document& document, StoreWork work);

  /// The lock file of a store.
  static std::string pathOf(const Document& document);

private:
  static std::optional<StoreLock> attempt(const Document& document, StoreWork work,
                                          platform::ProcessLock::Refusal& refusal);
  explicit StoreLock(platform::ProcessLock lock) : lock_(std::move(lock)) {}

  platform::ProcessLock lock_;
};

}  // namespace zorvik::mailflow
