/// \file
/// The address book kept in a vCard file ("addressbook.vcf" in the store
/// root), which other address books can read and write too.
///
/// The cards are read when first needed and read again whenever the file
/// has changed since (another process, another program), so every answer
/// reflects the file. Every change is made under an exclusive lock on a
/// hidden lock file beside it (".addressbook.vcf.lock"): the file is read again, changed and written
/// through a temporary file and a rename, so a reader never sees half a
/// file and two writers at once never lose each other's entries (a writer
/// waits its turn up to about twelve seconds). A missing file is an empty
/// book.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/AddressBook.h"
#include "addressbook/NameIndex.h"
#include "addressbook/VCardEntry.h"

namespace zorvik::addressbook {

class VCardAddressBook final : public AddressBook {
public:
  /// The book in the file at `path` (Shift_JIS).
  explicit VCardAddressBook(std::string path);

  std::vector<message::MailAddress> resolve(std::string_view query) override;
  std::optional<AddressEntry> findByAddress(std::string_view address) override;
  bool create(std::string_view name, std::string_view address) override;
  bool create(const AddressEntry& entry) override;
  bool update(std::string_view address, const AddressEntry& entry) override;

  /// Every entry, in file order.
  std::vector<AddressEntry> entries();
  /// Removes the entries holding `address`; how many went, empty when the
  /// file could not be written.
  std::optional<std::size_t> remove(std::string_view address);
  /// Adds the cards of the vCard file at `path`, except those with an
  /// address the book already holds; how many were added, empty when
  /// either file could not be read or written.
  std::optional<std::size_t> importFile(std::string_view path);
  /// Writes every card into a vCard file at `path`.
  bool exportFile(std::string_view path);

  const std::string& path() const { return path_; }

private:
  /// Reads the file again when it changed; false when it cannot be read.
  bool refresh();
  const NameIndex& index();
  /// Changes the cards under the lock and writes them; `change` returns
  /// false to write nothing.
  bool rewrite(const std::function<bool(std::vector<VCardEntry>&)>& change);

  struct Stamp {
    std::int64_t modified = -1;
    std::int64_t size = -1;
    std::uint64_t inode = 0;
    friend bool operator==(const Stamp&, const Stamp&) = default;
  };
  Stamp stampOfFile() const;
  bool load();

  std::string path_;
  std::vector<VCardEntry> cards_;
  std::optional<Stamp> loaded_;
  std::optional<NameIndex> index_;
};

}  // namespace zorvik::addressbook
