// search and next-unread: the search bar and the refined search over the
// store (every hit printed, or every mail with a hit collected into the
// search-results tray), and the next unread mail. One line per hit: tray,
// index (as `list` prints it), kind ("header" or "body") and the line the
// hit is on (the Subject for a hit without a text).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CliCommand.h"
#include "SearchOptions.h"
#include "mailflow/SearchFlow.h"
#include "platform/FileSystem.h"
#include "store/TrayFile.h"
#include "store/TreeListing.h"

namespace zorvik::cli {
namespace {

constexpr const char* kSearchUsage =
    "usage: search [--cabinet PATH|--tray T] [--headers] [--body] [--start] [--case] [--width] [--kana]\n"
    "  [--from X|--not-from X] [--to X|--not-to X] [--subject X|--not-subject X]\n"
    "  [--header NAME X|--not-header NAME X] [--in-body X|--not-in-body X]\n"
    "  [--since YYYY-MM-DD] [--until YYYY-MM-DD] [--marked] [--collect] [TEXT]";

std::string kindOf(search::SearchResult kind) { return kind == search::SearchResult::BodyHit ? "body" : "header"; }

void printHit(CliContext& context, const search::SearchHit& hit) {
  context.printRow({hit.row.tray, std::to_string(hit.row.index), kindOf(hit.kind), hit.line});
}

// --cabinet PATH walks a cabinet, or the cabinet of a tray from that tray
// on; --tray T searches one tray; neither, the whole store.
std::optional<search::SearchScope> scopeOf(CliContext& context, const mailflow::Document& document,
                                           const SearchRequest& request) {
  if (request.tray) {
    if (store::TrayFile(document.store(), *request.tray).exists()) return search::SearchScope::oneTray(*request.tray);
    context.status("zorvik-cli: no tray " + *request.tray);
    return std::nullopt;
  }
  const std::string path = request.cabinet.value_or("");
  if (store::isCabinet(document.store(), path)) return search::SearchScope::wholeCabinet(path);
  if (store::TrayFile(document.store(), path).exists())
    return search::SearchScope::startingAt(platform::directoryOf(path), path, 0);
  context.status("zorvik-cli: no cabinet or tray " + path);
  return std::nullopt;
}

int searchCommand(CliContext& context) {
  const auto request = parseSearchOptions(context.args());
  if (!request) return context.usage(kSearchUsage);
  auto* document = context.document();
  if (!document) return kFailed;
  const auto scope = scopeOf(context, *document, *request);
  if (!scope) return kFailed;
  mailflow::SearchFlow flow(*document, context.frontEnd());
  if (!request->collect) {
    const auto outcome =
        flow.each(request->query, *scope, [&](const search::SearchHit& hit) { printHit(context, hit); });
    return outcome.refused || outcome.result == search::SearchResult::Stopped ? kFailed : kDone;
  }
  const auto outcome = flow.collect(request->query, *scope);
  for (const search::SearchHit& hit : outcome.collected) printHit(context, hit);
  if (outcome.refused) return kFailed;
  context.status("linked " + std::to_string(outcome.linked) + " of " + std::to_string(outcome.collected.size()) +
                 " into " + document->settings().text(core::item::kSearchResultsTray));
  const bool allLinked = outcome.linked == outcome.collected.size();
  return allLinked && outcome.result == search::SearchResult::End ? kDone : kFailed;
}

// next-unread [TRAY [INDEX]]: the first unread mail of the store, of TRAY
// on, or after mail INDEX of TRAY, in the order the search walks the tree.
int nextUnread(CliContext& context) {
  const auto& args = context.args();
  const auto index = args.size() == 2 ? recordIndex(args[1]) : std::nullopt;
  if (args.size() > 2 || (args.size() == 2 && !index)) return context.usage("usage: next-unread [TRAY [INDEX]]");
  auto* document = context.document();
  if (!document) return kFailed;
  const std::string tray = args.empty() ? std::string() : args[0];
  if (!tray.empty() && !store::TrayFile(document->store(), tray).exists()) {
    context.status("zorvik-cli: no tray " + tray);
    return kFailed;
  }
  mailflow::SearchFlow flow(*document, context.frontEnd());
  const auto outcome = flow.nextUnread(search::SearchScope::wholeCabinet(""), tray, index);
  if (outcome.hit) printHit(context, *outcome.hit);
  return outcome.result == search::SearchResult::Stopped ? kFailed : kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("search",
                   "[--cabinet PATH|--tray T] [--headers] [--body] [--start] [--case] [--width] [--kana] "
                   "[--from X|--not-from X] [--to X|--not-to X] [--subject X|--not-subject X] "
                   "[--header NAME X|--not-header NAME X] [--in-body X|--not-in-body X] [--since DATE] "
                   "[--until DATE] [--marked] [--collect] [TEXT]",
                   searchCommand);
ZORVIK_CLI_COMMAND("next-unread", "[TRAY [INDEX]]", nextUnread);

}  // namespace zorvik::cli
