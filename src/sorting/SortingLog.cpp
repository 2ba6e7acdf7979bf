#include "sorting/SortingLog.h"

#include <cstdio>
#include <ctime>
#include <fstream>

#include "core/MessageFormat.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::sorting {

using core::MessageNumber;

namespace {

std::string localTime(std::int64_t time, int zoneHours) {
  const std::time_t shifted = static_cast<std::time_t>(time + zoneHours * 3600LL);
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m/%d %H:%M:%S", &fields);
  return text;
}

}  // namespace

std::string SortingLog::generation(int number) const {
  const auto slash = path_.rfind('/');
  const auto dot = path_.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? path_.substr(0, dot) : path_) + ".bk" + std::to_string(number);
}

std::string SortingLog::line(const SortingDecision& decision, std::int64_t time) const {
  using platform::sjisLiteral;
  const std::string kind = sjisLiteral(decision.sentByUser ? "送" : "受") + sjisLiteral(decision.manual ? "手" : "自");
  const std::string& destination = decision.destination.empty() ? sjisLiteral("なし") : decision.destination;
  return core::formatMessage(sjisLiteral("%s|%s|%s\\%s → %s\r\n"),
                             {localTime(time, zoneHours_), kind, decision.sourceTray, decision.messageId, destination});
}

bool SortingLog::append(const SortingDecision& decision, std::int64_t time, core::Messages& messages) const {
  return append(std::vector<SortingDecision>{decision}, time, messages);
}

bool SortingLog::append(const std::vector<SortingDecision>& decisions, std::int64_t time,
                        core::Messages& messages) const {
  if (decisions.empty()) return true;
  std::string text;
  for (const SortingDecision& decision : decisions) text += line(decision, time);
  std::ofstream out(platform::nativePath(path_), std::ios::binary | std::ios::app);
  if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (out) return true;
  messages.error(MessageNumber::LogNotOpened);
  return false;
}

std::string SortingLog::tail() const {
  std::ifstream in(platform::nativePath(path_), std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  const std::streamoff start = size > static_cast<std::streamoff>(kViewBytes) ? size - kViewBytes : 0;
  in.seekg(start);
  std::string text(static_cast<std::size_t>(size - start), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

void SortingLog::clear() const {
  platform::removeFile(generation(2));
  platform::renamePath(generation(1), generation(2));
  platform::renamePath(path_, generation(1));
}

}  // namespace zorvik::sorting
