#include "store/OperationStep.h"

namespace zorvik::store {
namespace {

OperationStepHook& installedHook() {
  static OperationStepHook hook;
  return hook;
}

}  // namespace

void setOperationStepHook(OperationStepHook hook) { installedHook() = std::move(hook); }

void operationStep() {
  if (const auto& hook = installedHook()) hook();
}

}  // namespace zorvik::store
