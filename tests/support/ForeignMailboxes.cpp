#include "support/ForeignMailboxes.h"

#include <filesystem>
#include <fstream>

#include "core/TextLines.h"
namespace zorvik::test {
namespace {

void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The lines of `mail` without their ends.
std::vector<std::string> linesOf(const std::string& mail) {
  std::vector<std::string> lines;
  core::TextLines text(mail);
  for (std::string_view line; text.next(line);) lines.emplace_back(line);
  return lines;
}

}  // namespace

std::string unixMailbox(const std::vector<std::string>& mails) {
  std::string mailbox;
  for (const std::string& mail : mails) {
    mailbox += "From sender@example.jp Mon Dec  7 09:30:00 2026\n";
    for (const std::string& line : linesOf(mail)) mailbox += (line.rfind("From ", 0) == 0 ? ">" : "") + line + "\n";
    mailbox += "\n";
  }
  return mailbox;
}

void MsInternetMailPair::put(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void MsInternetMailPair::add(const std::string& mail, std::uint32_t status) {
  if (index.empty()) {
    index.assign(80, '\0');
    index.replace(0, 4, "JMF9");
  }
  std::string record(40, '\0');
  put(record, 0, status);
  put(record, 16, 40);
  put(record, 20, static_cast<std::uint32_t>(mailbox.size()));
  put(record, 24, static_cast<std::uint32_t>(mail.size() + 16));
  mailbox += std::string(16, '\0') + mail;
  index += record;
  put(index, 8, static_cast<std::uint32_t>((index.size() - 80) / 40));
}

std::string MsInternetMailPair::indexWithMagic(const std::string& magic) const {
  return magic + index.substr(magic.size());
}

MsInternetMailPair msInternetMail(const std::vector<std::string>& mails) {
  MsInternetMailPair pair;
  for (const std::string& mail : mails) pair.add(mail);
  return pair;
}

std::string writeAlMailBox(const std::string& folder, const std::string& name, const std::vector<std::string>& mails) {
  std::string box = "[Setting]\r\nName=" + name + "\r\n[Mails]\r\n";
  for (std::size_t i = 0; i < mails.size(); ++i) {
    const std::string number = std::to_string(10000001 + i);
    box += number + "=1\r\n";
    writeFile(folder + "/" + number + ".wml", mails[i]);
  }
  box += "[Window]\r\nTop=0\r\n";
  const std::string path = folder + "/" + name + ".box";
  writeFile(path, box);
  return path;
}

void writeBeckyMailbox(const std::string& path, const std::string& attachFolder, const std::vector<BeckyMail>& mails) {
  std::string mailbox;
  for (const BeckyMail& mail : mails) {
    for (const std::string& line : linesOf(mail.header)) mailbox += line + "\r\n";
    for (const BeckyAttachment& attachment : mail.attachments) {
      mailbox += "X-Becky-Attachment-File: " + attachment.name + "\r\n";
      writeFile(attachFolder + "/" + attachment.name, attachment.bytes);
    }
    mailbox += "\r\n";
    for (const std::string& line : linesOf(mail.body)) mailbox += line + "\r\n";
    mailbox += ".\r\n";
  }
  writeFile(path, mailbox);
}

void writeMaildir(const std::string& folder, const std::vector<std::string>& mails) {
  std::filesystem::create_directories(folder + "/tmp");
  std::filesystem::create_directories(folder + "/new");
  std::filesystem::create_directories(folder + "/cur");
  for (std::size_t i = 0; i < mails.size(); ++i) {
    const std::string name = std::to_string(1700000000 + i) + ".M" + std::to_string(i) + ".zorvik-test";
    writeFile(folder + (i % 2 == 0 ? "/new/" + name : "/cur/" + name + ":2,S"), mails[i]);
  }
}

}  // namespace zorvik::test
