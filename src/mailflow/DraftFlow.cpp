#include "mailflow/DraftFlow.h"

#include <ctime>

#include "compose/DraftFile.h"
#include "compose/EditMap.h"
#include "compose/SourceMail.h"
#include "compose/TemplateFields.h"
#include "compose/TemplateFiles.h"
#include "core/SettingsItemTable.h"
#include "mailflow/AddressBookFlow.h"
#include "mailflow/Document.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/MailOperations.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

// Writes the draft's text into a fresh body file.
std::optional<std::string> bodyFileFor(const Document& document, const std::string& text) {
  const std::string pattern = compose::DraftFile::patternOf(document.store(), document.settings());
  auto path = compose::DraftFile::create(pattern, text);
  if (!path) document.messages().error(MessageNumber::DraftNotStored, {compose::DraftFile::numberedName(pattern, 0)});
  return path;
}

message::MailRecordParser parserOf(const Document& document) {
  return message::MailRecordParser(message::ParseContext::fromSettings(document.settings(), std::time(nullptr)));
}

}  // namespace

compose::Draft OpenDraft::toDraft() const {
  compose::Draft draft;
  draft.to = prepared.to;
  draft.cc = prepared.cc;
  draft.bcc = prepared.bcc;
  draft.subject = prepared.subject;
  draft.keyword = prepared.keyword;
  draft.bodyFile = bodyFile;
  draft.inReplyTo = prepared.inReplyTo;
  draft.references = prepared.references;
  draft.tray = tray;
  draft.editMap = editMap;
  draft.attachments = attachments;
  draft.withoutSignature = withoutSignature;
  draft.kind = prepared.kind;
  draft.originals = prepared.originals;
  return draft;
}

std::optional<OpenDraft> DraftFlow::prepare(const Document& document, compose::DraftKind kind, const std::string& tray,
                                            const std::vector<std::uint32_t>& indices, const PrepareOptions& options) {
  const auto properties = store::TrayFile(document.store(), tray).properties();
  if (!properties) return std::nullopt;
  compose::PrepareRequest request{kind, tray, *properties, {}, options.templateName};
  const message::MailRecordParser parser = parserOf(document);
  for (const std::uint32_t index : indices) {
    auto source = compose::SourceMail::read(document.store(), {tray, index}, parser);
    if (!source) return std::nullopt;
    request.sources.push_back(std::move(*source));
  }
  const auto ownBook = options.addressBook ? nullptr : AddressBookFlow::open(document);
  addressbook::AddressBook* const book = options.addressBook ? options.addressBook : ownBook.get();
  const compose::DraftPreparer preparer(document.settings(), document.messages(), book);
  OpenDraft draft;
  draft.prepared = preparer.prepare(request);
  draft.tray = tray;
  draft.editMap = loadedEditMap(document);
  const auto bodyFile = bodyFileFor(document, draft.prepared.body);
  if (!bodyFile) return std::nullopt;
  draft.bodyFile = *bodyFile;
  return draft;
}

std::optional<OpenDraft> DraftFlow::reopen(const Document& document, const std::string& tray, std::uint32_t index) {
  const auto source = compose::SourceMail::read(document.store(), {tray, index}, parserOf(document));
  if (!source) return std::nullopt;
  const message::MailRecord& mail = source->record;
  OpenDraft draft;
  draft.tray = tray;
  draft.reopened = store::MailPlace{tray, index};
  draft.editMap = mail.krdx;
  compose::PreparedDraft& prepared = draft.prepared;
  prepared.kind = compose::DraftKind::Copy;
  prepared.to = compose::TemplateFields::joinedList(mail.to);
  // A draft kept without a recipient was stored with this stand-in.
  if (prepared.to == platform::sjisLiteral("(宛先なし)")) prepared.to.clear();
  prepared.cc = compose::TemplateFields::joinedList(mail.cc);
  prepared.bcc = compose::TemplateFields::joinedList(mail.bcc);
  prepared.subject = mail.subject;
  prepared.inReplyTo = mail.inReplyTo;
  prepared.references = mail.references;
  for (const std::string& line : source->body) prepared.body += line + "\n";
  const auto bodyFile = bodyFileFor(document, prepared.body);
  if (!bodyFile) return std::nullopt;
  draft.bodyFile = *bodyFile;
  return draft;
}

void DraftFlow::adopt(OpenDraft& draft, const std::string& text) {
  const auto linesOf = [](const std::string& body) { return compose::TemplateFiles::lines(body); };
  const compose::EditMap map = compose::EditMap::afterEdit(linesOf(draft.prepared.body),
                                                           compose::EditMap::parse(draft.editMap), linesOf(text));
  draft.editMap = map.format();
  draft.prepared.body = text;
}

bool DraftFlow::edit(OpenDraft& draft, const std::string& text) {
  adopt(draft, text);
  return compose::DraftFile::write(draft.bodyFile, text);
}

void DraftFlow::discard(const OpenDraft& draft) { platform::removeFile(draft.bodyFile); }

std::string DraftFlow::loadedEditMap(const Document& document) {
  compose::EditMap map;
  map.indentCharacters = document.settings().number(core::item::kEditorLeftIndent);
  return map.format();
}

std::optional<std::uint32_t> DraftFlow::store(const Document& document, const compose::Draft& draft,
                                              const compose::StoreOptions& options,
                                              const std::optional<store::MailPlace>& reopened) {
  const compose::DraftWriter writer(document.store(), document.settings(), document.messages());
  const auto index = writer.store(draft, options, std::time(nullptr));
  if (!index || !reopened) return index;
  const core::SettingsFile& settings = document.settings();
  const store::MailOperations operations(document.store(), settings.text(core::item::kTrashTray),
                                         settings.timeZoneOffsetHours(), settings.text(core::item::kMailServerTray));
  operations.remove(reopened->tray, {reopened->index}, false);
  return index;
}

}  // namespace zorvik::mailflow
