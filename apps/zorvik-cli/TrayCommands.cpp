// list TRAY / show TRAY INDEX [--header|--body]: the records and the stored
// text of one tray.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "CliCommand.h"

#include "platform/FileSystem.h"
#include "store/TrayFile.h"

namespace zorvik::cli {
namespace {

// "2026-12-07T09:30:00+09:00": the stored UTC seconds in the user's zone.
std::string isoLocal(std::int32_t seconds, int zoneHours) {
  const std::time_t shifted = static_cast<std::time_t>(seconds) + zoneHours * 3600;
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[64];  // room for any int the fields could hold
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:00", fields.tm_year + 1900,
                fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec,
                zoneHours < 0 ? '-' : '+', std::abs(zoneHours));
  return text;
}

std::string hex(std::uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

int cannotRead(CliContext& context, const std::string& tray) {
  context.status("zorvik-cli: cannot read tray " + tray);
  return kFailed;
}

int listTray(CliContext& context) {
  if (context.args().size() != 1) return context.usage("usage: list TRAY");
  const auto* document = context.document();
  if (!document) return kFailed;
  const store::TrayFile tray(document->store(), context.args()[0]);
  auto session = tray.reader();
  if (!session) return cannotRead(context, tray.name());
  const int zone = document->settings().timeZoneOffsetHours();
  store::TrayRecord row;
  while (session->nextMail(row) == store::ReadResult::Live) {
    const store::IndexRecord& record = row.record;
    context.printRow({std::to_string(row.index), hex(record.flags()), isoLocal(record.date(), zone),
                      record.listAddress(), record.listName(), record.subject()});
  }
  return kDone;
}

bool printBody(CliContext& context, const store::TrayFile& tray, std::uint32_t index) {
  auto body = tray.bodyReader(index);
  if (!body) return false;
  std::string line;
  while (body->next(line)) context.printText(line + "\n");
  return true;
}

int showMail(CliContext& context) {
  const auto& args = context.args();
  const bool headerOnly = args.size() == 3 && args[2] == "--header";
  const bool bodyOnly = args.size() == 3 && args[2] == "--body";
  const auto index = args.size() >= 2 ? recordIndex(args[1]) : std::nullopt;
  if (!index || (args.size() == 3 && !headerOnly && !bodyOnly) || args.size() > 3)
    return context.usage("usage: show TRAY INDEX [--header|--body]");
  const auto* document = context.document();
  if (!document) return kFailed;
  const store::TrayFile tray(document->store(), args[0]);
  if (!bodyOnly) {
    auto header = tray.headerLines(*index);
    if (!header) return cannotRead(context, tray.name() + " " + args[1]);
    for (std::size_t at; (at = header->find("\r\n")) != std::string::npos;) header->replace(at, 2, "\n");
    context.printText(*header + "\n");
    if (headerOnly) return kDone;
    context.printText("\n");
  }
  return printBody(context, tray, *index) ? kDone : cannotRead(context, tray.name() + " " + args[1]);
}

}  // namespace

ZORVIK_CLI_COMMAND("list", "TRAY", listTray);
ZORVIK_CLI_COMMAND("show", "TRAY INDEX [--header|--body]", showMail);

}  // namespace zorvik::cli
