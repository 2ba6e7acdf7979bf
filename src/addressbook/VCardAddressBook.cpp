#include "addressbook/VCardAddressBook.h"

#include <sys/stat.h>

#include "addressbook/VCardReader.h"
#include "addressbook/VCardWriter.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::addressbook {
namespace {

// Rounds of the lock's own retries (12 tries 100 ms apart by default).
constexpr int kLockRounds = 10;

}  // namespace

VCardAddressBook::VCardAddressBook(std::string path) : path_(std::move(path)) {}

VCardAddressBook::Stamp VCardAddressBook::stampOfFile() const {
  struct stat status {};
  if (::stat(platform::nativePath(path_).c_str(), &status) != 0) return {};
  return {static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
          static_cast<std::int64_t>(status.st_size), static_cast<std::uint64_t>(status.st_ino)};
}

bool VCardAddressBook::load() {
  const Stamp stamp = stampOfFile();
  if (stamp.size < 0) {
    // No file yet: an empty book.
    cards_.clear();
  } else {
    const auto text = platform::readFile(path_);
    if (!text) return false;
    cards_ = VCardReader::parse(*text);
  }
  loaded_ = stamp;
  index_.reset();
  return true;
}

bool VCardAddressBook::refresh() {
  if (loaded_ && *loaded_ == stampOfFile()) return true;
  return load();
}

const NameIndex& VCardAddressBook::index() {
  if (!index_) index_.emplace(cards_);
  return *index_;
}

std::vector<message::MailAddress> VCardAddressBook::resolve(std::string_view query) {
  std::vector<message::MailAddress> choices;
  if (query.empty() || !refresh()) return choices;
  for (const std::size_t card : index().find(platform::sjisToUtf8(query))) {
    const AddressEntry entry = cards_[card].view();
    for (const std::string& address : entry.addresses) choices.push_back({address, entry.name});
  }
  return choices;
}

std::optional<AddressEntry> VCardAddressBook::findByAddress(std::string_view address) {
  if (address.empty() || !refresh()) return std::nullopt;
  const auto card = index().cardOf(platform::sjisToUtf8(address));
  if (!card) return std::nullopt;
  return cards_[*card].view();
}

bool VCardAddressBook::create(std::string_view name, std::string_view address) {
  return rewrite([&](std::vector<VCardEntry>& cards) {
    cards.push_back(VCardEntry::create(name, address));
    return true;
  });
}

bool VCardAddressBook::create(const AddressEntry& entry) {
  if (entry.addresses.empty() || entry.addresses.front().empty()) return false;
  const std::string& first = entry.addresses.front();
  return rewrite([&](std::vector<VCardEntry>& cards) {
    VCardEntry card = VCardEntry::create(entry.name, first);
    card.apply(entry);
    cards.push_back(std::move(card));
    return true;
  });
}

bool VCardAddressBook::update(std::string_view address, const AddressEntry& entry) {
  bool found = false;
  const bool written = rewrite([&](std::vector<VCardEntry>& cards) {
    // Found in the file as it is now: another writer may have moved it.
    const auto card = NameIndex(cards).cardOf(platform::sjisToUtf8(address));
    if (!card) return false;
    found = true;
    cards[*card].apply(entry);
    return true;
  });
  return written && found;
}

std::vector<AddressEntry> VCardAddressBook::entries() {
  std::vector<AddressEntry> all;
  if (!refresh()) return all;
  all.reserve(cards_.size());
  for (const VCardEntry& card : cards_) all.push_back(card.view());
  return all;
}

std::optional<std::size_t> VCardAddressBook::remove(std::string_view address) {
  const std::string wanted = NameIndex::keyOf(platform::sjisToUtf8(address));
  std::size_t removed = 0;
  const bool written = rewrite([&](std::vector<VCardEntry>& cards) {
    removed = std::erase_if(cards, [&wanted](const VCardEntry& card) {
      for (const std::string& held : card.addresses())
        if (NameIndex::keyOf(held) == wanted) return true;
      return false;
    });
    return removed > 0;
  });
  if (!written) return std::nullopt;
  return removed;
}

std::optional<std::size_t> VCardAddressBook::importFile(std::string_view path) {
  const auto text = platform::readFile(path);
  if (!text) return std::nullopt;
  const std::vector<VCardEntry> incoming = VCardReader::parse(*text);
  std::size_t added = 0;
  const bool written = rewrite([&](std::vector<VCardEntry>& cards) {
    const NameIndex held(cards);
    for (const VCardEntry& card : incoming) {
      bool known = false;
      for (const std::string& address : card.addresses()) known = known || held.cardOf(address).has_value();
      if (known) continue;
      cards.push_back(card);
      ++added;
    }
    return added > 0;
  });
  if (!written) return std::nullopt;
  return added;
}

bool VCardAddressBook::exportFile(std::string_view path) {
  return refresh() && platform::writeFileAtomically(path, VCardWriter::write(cards_));
}

bool VCardAddressBook::rewrite(const std::function<bool(std::vector<VCardEntry>&)>& change) {
  platform::makeDirectories(platform::directoryOf(path_));
  const std::string lockPath =
      platform::joinPath(platform::directoryOf(path_), "." + platform::fileNameOf(path_) + ".lock");
  // A change waits its turn longer than a tray operation would: writers
  // of the book are few, and giving up would lose what the user entered.
  std::optional<platform::FileLock> lock;
  for (int round = 0; round < kLockRounds && !lock; ++round)
    lock = platform::FileLock::open(lockPath, platform::FileAccess::Create);
  if (!lock || !load()) return false;
  if (!change(cards_)) return true;
  index_.reset();
  if (!platform::writeFileAtomically(path_, VCardWriter::write(cards_))) {
    loaded_.reset();  // read the file again next time: it was not changed
    return false;
  }
  loaded_ = stampOfFile();
  return true;
}

}  // namespace zorvik::addressbook
