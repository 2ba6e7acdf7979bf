/// \file
/// What the text view shows of one mail, before any font is known: the
/// header rows, and the body lines with their tags and quote marks. A line
/// that names an attachment keeps its file tag only when the file is there
/// (the tag then carries the file's path and the line gets an icon); a
/// reference to a missing file, or one that would lead out of the mail's
/// attachment folder, stays plain text.
///
/// With a cabinet or tray selected instead of a mail the view shows one
/// line, "引出名 : <name>" or "トレイ名 : <name>", and no header.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/StoreLocation.h"
#include "view/HeaderRows.h"
#include "view/TagScanner.h"

namespace zorvik::view {

struct BodyLine {
  std::string text;  // Shift_JIS, without its line end
  std::vector<Tag> tags;
  bool quote = false;
  /// The existing file a tag-command line names; empty for other lines.
  std::string file;

  bool hasIcon() const { return !file.empty(); }
};

class MailTextContent {
public:
  /// Turns a tag-command line's reference into the path of an existing
  /// file, or nothing.
  using FileResolver = std::function<std::optional<std::string>(std::string_view reference)>;

  MailTextContent() = default;
  /// A mail from its header rows and body lines.
  MailTextContent(std::vector<HeaderRow> rows, const std::vector<std::string>& body, const FileResolver& resolve);

  /// Mail `index` of `tray` as stored (a link shown with its "LINK" row);
  /// nothing when it cannot be read.
  static std::optional<MailTextContent> load(const store::StoreLocation& store, const std::string& tray,
                                             std::uint32_t index, int zoneHours);
  /// The one line shown for a selected cabinet or tray.
  static MailTextContent cabinetTitle(std::string_view name);
  static MailTextContent trayTitle(std::string_view name);

  const std::vector<HeaderRow>& rows() const { return rows_; }
  const std::vector<BodyLine>& lines() const { return lines_; }
  bool hasHeader() const { return !rows_.empty(); }
  /// For a loaded mail: where it is stored (a link's target, else the
  /// tray and index it was loaded from).
  const std::optional<std::pair<std::string, std::uint32_t>>& home() const { return home_; }
  /// The Subject row's value (empty without a header).
  std::string subject() const;
  /// The body as text, lines joined with CR LF.
  std::string bodyText() const;

private:
  std::vector<HeaderRow> rows_;
  std::vector<BodyLine> lines_;
  std::optional<std::pair<std::string, std::uint32_t>> home_;
};

}  // namespace zorvik::view
