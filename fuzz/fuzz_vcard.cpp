// Feeds arbitrary vCard files to the address book's reader: what the writer
// makes of the cards reads back to the same cards (writing is stable after
// one round), and the name index over them answers any prefix.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "addressbook/NameIndex.h"
#include "addressbook/VCardReader.h"
#include "addressbook/VCardWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik::addressbook;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto cards = VCardReader::parse(text);
  const std::string once = VCardWriter::write(cards);
  const auto again = VCardReader::parse(once);
  if (again.size() != cards.size()) __builtin_trap();
  if (VCardWriter::write(again) != once) __builtin_trap();
  const NameIndex index(again);
  for (const std::size_t card : index.find(text.substr(0, std::min<std::size_t>(size, 3))))
    if (card >= again.size()) __builtin_trap();
  return 0;
}
