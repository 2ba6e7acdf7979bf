// export-tree, import-tree: a cabinet's tree written to an ".XM7" file and
// made again from one.
#include <optional>
#include <string>

#include "StoreOperations.h"
#include "platform/FileSystem.h"
#include "store/TrayNameRule.h"
#include "store/TreeListing.h"
#include "store/TreeTransfer.h"

namespace zorvik::cli {
namespace {

// "" and "/" stand for the top cabinet.
std::optional<std::string> cabinetArgument(CliContext& context, const std::string& text) {
  if (text.empty() || text == "/") return std::string();
  if (store::isStoreRelativePath(text, false)) return text;
  context.status("zorvik-cli: not a cabinet inside the store: " + text);
  return std::nullopt;
}

int exportTree(CliContext& context) {
  if (context.args().size() != 2) return context.usage("usage: export-tree CABINET FILE.XM7");
  const auto cabinet = cabinetArgument(context, context.args()[0]);
  if (!cabinet) return kFailed;
  auto* const opened = context.document();
  if (!opened) return kFailed;
  if (!store::isCabinet(opened->store(), *cabinet)) {
    context.status("zorvik-cli: no cabinet " + *cabinet);
    return kFailed;
  }
  if (store::exportTree(opened->store(), *cabinet, context.args()[1])) return kDone;
  context.status("zorvik-cli: " + context.args()[1] + " not written completely");
  return kFailed;
}

int importTree(CliContext& context) {
  if (context.args().size() != 1) return context.usage("usage: import-tree FILE.XM7");
  const std::string& file = context.args()[0];
  auto* const opened = context.document();
  if (!opened) return kFailed;
  if (!platform::isRegularFile(file)) {
    context.status("zorvik-cli: cannot read " + file);
    return kFailed;
  }
  if (!store::isCabinet(opened->store(), "")) return noStore(context, *opened);
  return store::importTree(opened->store(), file, context.messages()) ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("export-tree", "CABINET FILE.XM7", exportTree);
ZORVIK_CLI_COMMAND("import-tree", "FILE.XM7", importTree);

}  // namespace zorvik::cli
