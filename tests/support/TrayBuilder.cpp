#include "support/TrayBuilder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zorvik::test {

TrayBuilder::TrayBuilder() {
  store_.root = scratch_.path();
  store_.topCabinet = "Top";
  std::filesystem::create_directories(store_.topCabinetPath());
}

store::TrayFile TrayBuilder::createTray(const std::string& name) const {
  store::TrayFile tray(store_, name);
  if (!tray.create(store::TrayProperties{})) throw std::runtime_error("cannot create tray " + name);
  return tray;
}

store::MailText TrayBuilder::mail(const std::string& subject, int bodyLines) {
  store::MailText text;
  text.separator = "From sender@example.jp";
  text.header = {"Subject: " + subject, "Message-Id: <" + subject + "@example.jp>"};
  for (int i = 1; i <= bodyLines; ++i) text.body.push_back("line " + std::to_string(i));
  return text;
}

std::uint32_t TrayBuilder::append(const store::TrayFile& tray, const std::string& subject,
                                  int bodyLines) const {
  store::IndexRecord record;
  record.setSubject(subject);
  const auto index = tray.appendMail(mail(subject, bodyLines), record);
  if (!index) throw std::runtime_error("cannot append to " + tray.name());
  return *index;
}

std::string TrayBuilder::bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void TrayBuilder::write(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace zorvik::test
