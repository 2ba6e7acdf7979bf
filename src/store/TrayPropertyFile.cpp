#include "store/TrayPropertyFile.h"

#include "core/ItemWriter.h"
#include "platform/TextEncoding.h"
#include "store/TrayNameRule.h"
#include "store/TrayPropertyTable.h"

namespace zorvik::store {
namespace {

constexpr std::string_view kEndRule = ";;END------------------------------------------\r\n";

const std::string& headerLine() { return platform::sjisLiteral(";;Zorvik:トレイプロパティ\r\n"); }

void appendRow(std::string& out, const core::ItemValues& values, int id) {
  const std::size_t row = *values.table().indexOf(id);
  core::writeItem(out, values.table().rows()[row], values, row);
}

void appendRecord(std::string& out, const TrayPropertyRecord& record) {
  core::ItemValues values(trayPropertyTable());
  values.setNumber(trayitem::kRecordKind, record.isCabinet ? kCabinetRecord : kTrayRecord);
  values.setText(trayitem::kPath, record.path);
  appendRow(out, values, trayitem::kRecordKind);
  appendRow(out, values, trayitem::kPath);
  if (!record.isCabinet) {
    propertiesToValues(record.properties, values);
    for (int id = trayitem::kFirstProperty; id <= trayitem::kLastProperty; ++id) appendRow(out, values, id);
  }
  appendRow(out, values, trayitem::kEnd);
}

// Tells the problem handler about the record just read, pointing at the line
// that ended it (the line of the path itself is long gone).
void reportRecord(const core::ItemReader::ProblemHandler& onProblem, const platform::LineReader& lines,
                  const std::string& path, const std::string& reason) {
  if (onProblem) onProblem({lines.lineNumber(), path, reason});
}

}  // namespace

const std::string& badRecordKindReason() {
  return platform::sjisLiteral("トレイの種類は0(トレイ)か1(引出)でなければならない");
}
const std::string& badRecordPathReason() {
  return platform::sjisLiteral("トレイパス名が最上位引出の中を指していない");
}

std::string formatTrayPropertyFile(const std::vector<TrayPropertyRecord>& records) {
  std::string out = headerLine();
  for (const TrayPropertyRecord& record : records) appendRecord(out, record);
  out += kEndRule;
  return out;
}

bool readTrayPropertyRecords(platform::LineReader& lines,
                             const std::function<bool(const TrayPropertyRecord&)>& onRecord,
                             const core::ItemReader::ProblemHandler& onProblem) {
  core::ItemReader reader(lines, onProblem);
  core::ItemValues values(trayPropertyTable());
  for (;;) {
    // Every record starts from the defaults, so an item a record leaves out
    // never carries over from the record before it.
    values.resetToDefaults();
    switch (reader.read(values)) {
      case core::ItemReadResult::Error: return false;
      case core::ItemReadResult::EndOfFile: return true;
      case core::ItemReadResult::Complete: break;
    }
    TrayPropertyRecord record;
    const int kind = values.number(trayitem::kRecordKind);
    record.isCabinet = kind == kCabinetRecord;
    record.path = values.text(trayitem::kPath);
    if (kind != kTrayRecord && kind != kCabinetRecord) {
      reportRecord(onProblem, lines, record.path, badRecordKindReason());
      continue;
    }
    if (!isStoreRelativePath(record.path, record.isCabinet)) {
      reportRecord(onProblem, lines, record.path, badRecordPathReason());
      continue;
    }
    if (!record.isCabinet) record.properties = propertiesFromValues(values);
    if (!onRecord(record)) return false;
  }
}

}  // namespace zorvik::store
