/// \file
/// Marks the points between the file steps of a store operation (after a
/// mail's text and record are written, after links are rewritten, between
/// the renames of a tray's files). Nothing happens there in normal use; a
/// test installs a hook that ends the process at the n-th point, and then
/// checks that the store it left behind is readable and lost no mail.
#pragma once

#include <functional>

namespace zorvik::store {

/// Called at every step point of every operation, on the calling thread.
using OperationStepHook = std::function<void()>;

/// Installs `hook` for the whole process (an empty one removes it).
void setOperationStepHook(OperationStepHook hook);

/// A step point: calls the hook when one is installed.
void operationStep();

}  // namespace zorvik::store
