/// \file
/// The properties every tray carries: sorting rules, send groups, templates,
/// signature, display period, sort order and flags. They live in the head of
/// the tray's index file and are exported as items 1000-1026 of a tray
/// property file.
#pragma once

#include <cstdint>
#include <string>

namespace zorvik::store {

struct TrayProperties {
  std::uint32_t flags = 0x0000CE34;  // tray flags; see TrayFlags.h
  std::int32_t sortWord = 1 | (4 << 1);  // bit 0 direction (1 = descending), bits 1-3 column
  std::int32_t displayPeriod = 0;
  std::int32_t userDisplayDays = 10;
  std::string description;
  std::string bodyFilePlace;
  std::string sortKeyword;
  std::string sortExpression;   // multi-line, CR LF between lines
  std::string sendGroupTo;      // multi-line
  std::string sendGroupCc;      // multi-line
  std::string sendGroupBcc;     // multi-line
  std::int32_t signatureKind = 1;
  std::string newMailTemplate;  // "標準" by default (set by the property table)
  std::string replyTemplate;
  std::string forwardTemplate;
  std::int32_t tagSelection = 2;
  std::string tagEndSymbol = ">";
  std::string userTag;
  std::string soundFile = "0x10";
  std::int32_t splitSizeKb = 64;
  std::string from;
  std::string organization;
  std::string replyTo;
  std::string signatureFile;

  int sortDirection() const { return sortWord & 1; }
  int sortColumn() const { return (sortWord >> 1) & 7; }
  void setSort(int direction, int column) { sortWord = (direction & 1) | ((column & 7) << 1); }

  bool operator==(const TrayProperties&) const = default;
};

}  // namespace zorvik::store
