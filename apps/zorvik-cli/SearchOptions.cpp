#include "SearchOptions.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

namespace zorvik::cli {
namespace {

// A field condition's options: the one that wants the text, the one that
// wants it absent.
struct FieldOption {
  std::string_view contains;
  std::string_view lacks;
  const char* field;
};
constexpr FieldOption kFieldOptions[] = {
    {"--from", "--not-from", "From"}, {"--to", "--not-to", "To"}, {"--subject", "--not-subject", "Subject"}};

std::optional<search::Day> dayOf(const std::string& text) {
  search::Day day;
  char end = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &day.year, &day.month, &day.day, &end) != 3) return std::nullopt;
  if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31) return std::nullopt;
  return day;
}

}  // namespace

std::optional<SearchRequest> parseSearchOptions(const std::vector<std::string>& args) {
  SearchRequest request;
  search::SearchParameters& bar = request.query.parameters;
  search::RefinedConditions& refined = request.query.refined;
  bool headers = false;
  bool body = false;
  const std::pair<std::string_view, bool*> switches[] = {
      {"--headers", &headers},           {"--body", &body},
      {"--start", &bar.lineStart},       {"--case", &bar.matchCase},
      {"--width", &bar.ignoreWidth},     {"--kana", &bar.ignoreKana},
      {"--marked", &refined.markedOnly}, {"--collect", &request.collect}};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The option's value, the next argument; null when there is none.
    const auto value = [&]() { return i + 1 < args.size() ? &args[++i] : nullptr; };
    const auto toggle =
        std::find_if(std::begin(switches), std::end(switches), [&](const auto& s) { return s.first == arg; });
    const auto field = std::find_if(std::begin(kFieldOptions), std::end(kFieldOptions),
                                    [&](const FieldOption& f) { return f.contains == arg || f.lacks == arg; });
    if (toggle != std::end(switches)) {
      *toggle->second = true;
    } else if (field != std::end(kFieldOptions)) {
      const std::string* text = value();
      if (!text) return std::nullopt;
      refined.fields.push_back({field->field, {*text, arg == field->contains}});
    } else if (arg == "--header" || arg == "--not-header") {
      const std::string* name = value();
      const std::string* text = value();
      if (!text) return std::nullopt;
      refined.fields.push_back({*name, {*text, arg == "--header"}});
    } else if (arg == "--in-body" || arg == "--not-in-body") {
      const std::string* text = value();
      if (!text || refined.body) return std::nullopt;
      refined.body = search::TextCondition{*text, arg == "--in-body"};
    } else if (arg == "--since" || arg == "--until") {
      const std::string* text = value();
      const auto day = text ? dayOf(*text) : std::nullopt;
      if (!day) return std::nullopt;
      (arg == "--since" ? refined.since : refined.until) = day;
    } else if (arg == "--cabinet" || arg == "--tray") {
      const std::string* path = value();
      if (!path || request.cabinet || request.tray) return std::nullopt;
      (arg == "--cabinet" ? request.cabinet : request.tray) = *path;
    } else if (arg.starts_with("--") || !bar.text.empty()) {
      return std::nullopt;
    } else {
      bar.text = arg;
    }
  }
  // Neither switch: as the search bar starts, every header line and the body.
  bar.allHeaders = headers || !body;
  bar.body = body || !headers;
  return request;
}

}  // namespace zorvik::cli
