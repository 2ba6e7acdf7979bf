/// \file
/// Cuts a composed mail (the header file and body file of MimeComposer)
/// into message/partial fragments of RFC 2046 when it is larger than its
/// split size. Fragment n of N carries the mail's header with " [n/N]"
/// after the Subject, its Content-Type replaced by
/// "message/partial; total=N; number=n; id=\"<Message-Id>\"" and its
/// Message-Id line dropped; the first fragment's body begins with the whole
/// composed header (the enclosed mail's own header, preamble and first part
/// header included), so that joining the bodies gives the mail back.
///
/// Fragments are cut only after a line end, so no line is split between two
/// mails. The cut points are planned before the first fragment is written:
/// N is then the number of fragments that really hold something, and no
/// empty last fragment is sent when the size is an exact multiple of the
/// limit. A single line longer than the limit stays whole in one fragment.
///
/// The source files are read as written (dot-stuffed already), so the
/// fragment files go to the SMTP session as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "message/ByteSink.h"

namespace zorvik::message {

class PartialSplitter {
public:
  PartialSplitter(std::string headerPath, std::string bodyPath, core::Messages& messages);

  /// Plans the fragments for a limit of `splitKilobytes` × 1024 bytes
  /// (header file + body file + 2 counted against it). Returns N, or 0 when
  /// the mail is not split (no limit, or it fits); empty when a source file
  /// cannot be read (41101 shown). The id is the header's Message-Id
  /// without brackets, or `fallbackId` when the header has none.
  std::optional<int> start(std::int32_t splitKilobytes, std::string_view fallbackId = {});

  int fragmentCount() const { return static_cast<int>(cuts_.size()); }
  /// The number of the fragment makeFragment writes next (from 1).
  int nextNumber() const { return next_ + 1; }
  bool done() const { return next_ >= cuts_.size(); }
  const std::string& id() const { return id_; }

  /// Writes the next fragment's header file and body file (created or
  /// truncated) and moves on. False after 41101 (a file cannot be created)
  /// or 41125 (a write failed), or when all fragments are written.
  bool makeFragment(std::string_view headerOut, std::string_view bodyOut);

  /// The fragment file paths the send driver uses: the composed paths with
  /// ".Partial" appended.
  std::string fragmentHeaderPath() const { return headerPath_ + ".Partial"; }
  std::string fragmentBodyPath() const { return bodyPath_ + ".Partial"; }

private:
  std::string fragmentHeader(int number) const;
  bool copyBody(ByteSink& out, std::uint64_t from, std::uint64_t to) const;
  std::optional<std::uint64_t> lineEndFrom(std::uint64_t at, std::uint64_t size) const;

  std::string headerPath_;
  std::string bodyPath_;
  core::Messages* messages_;  // a pointer, so that a splitter can be moved and assigned
  std::string header_;               // the composed header file
  std::string id_;
  std::vector<std::uint64_t> cuts_;  // end of each fragment's part of the body
  std::size_t next_ = 0;
};

}  // namespace zorvik::message
