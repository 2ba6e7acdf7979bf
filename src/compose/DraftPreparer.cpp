#include "compose/DraftPreparer.h"

#include <algorithm>
#include <set>

#include "compose/BodyQuoter.h"
#include "compose/QuotePrefix.h"
#include "compose/ReplySubject.h"
#include "compose/Signatures.h"
#include "compose/TemplateFields.h"
#include "compose/TemplateFiles.h"
#include "core/SettingsItemTable.h"
#include "core/SjisText.h"
#include "message/AddressParser.h"
#include "message/MailDate.h"
#include "platform/LocaleDateTime.h"
#include "platform/TextEncoding.h"
#include "store/TrayFlags.h"

namespace zorvik::compose {

using core::MessageNumber;

namespace {

const std::string& noTemplate() { return platform::sjisLiteral("なし"); }
const std::string& standardTemplate() { return platform::sjisLiteral("標準"); }

constexpr std::string_view kForwardPrefix = "|";
const std::string kForwardRule(59, '-');
const std::string kMailSeparator(63, '=');

// Address lists merged: every entry of `lists` once (addresses compared
// without regard to case), none of `left out`, joined with ",".
std::string mergedList(const core::AliasTable& aliases, const std::vector<std::string>& lists,
                       const std::set<std::string>& leftOut = {}) {
  const message::AddressParser parser(aliases);
  std::set<std::string> seen = leftOut;
  std::string merged;
  for (const std::string& list : lists) {
    for (const std::string& entry : message::AddressParser::splitList(list)) {
      const std::string address = core::asciiLowerCase(parser.parseOne(entry).mail.address);
      if (address.empty() || !seen.insert(address).second) continue;
      merged += (merged.empty() ? "" : ",") + entry;
    }
  }
  return merged;
}

// The lower-case addresses of a list, to leave out of another.
std::set<std::string> addressesOf(const core::AliasTable& aliases, std::string_view list) {
  std::set<std::string> addresses;
  for (const message::MailAddress& entry : message::AddressParser(aliases).parseList(list))
    addresses.insert(core::asciiLowerCase(entry.address));
  return addresses;
}

// One line per entry of a record's address list, as the window shows it.
std::string listOf(std::string_view recordList) { return TemplateFields::joinedList(recordList); }

// Lines joined with LF, without a last LF: text put in place of a keyword
// in the middle of a template line, whose own LF follows.
std::string inlineText(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// The kind a reply to the user's own mail turns into.
DraftKind effectiveKind(DraftKind kind, const std::vector<SourceMail>& sources) {
  if (!isReply(kind) || sources.empty() || !sources.front().writtenByUser()) return kind;
  return sources.front().record.has(message::mailflag::kSentUnread) ? DraftKind::Addition : DraftKind::Copy;
}

}  // namespace

struct DraftPreparer::Context {
  const PrepareRequest& request;
  DraftKind kind;
  std::string keyword;
  std::string templateName;
  std::string to;  // the draft's To, for the automatic signature
  Signatures signatures;
};

std::string DraftPreparer::keywordOf(std::string_view trayName, const store::TrayProperties& tray,
                                     const core::SettingsFile& settings) {
  if (!tray.sortKeyword.empty()) return tray.sortKeyword;
  if (!settings.flag(core::item::kTrayNameIsKeyword) || (tray.flags & store::trayflag::kNoNameKeyword) != 0) return {};
  const std::size_t slash = trayName.rfind('/');
  return std::string(slash == std::string_view::npos ? trayName : trayName.substr(slash + 1));
}

PreparedDraft DraftPreparer::prepare(const PrepareRequest& request) const {
  PreparedDraft draft;
  draft.kind = effectiveKind(request.kind, request.sources);
  draft.keyword = keywordOf(request.trayName, request.tray, settings_);
  for (const SourceMail& source : request.sources) draft.originals.push_back(source.selected);
  prepareHeader(request, draft);

  std::string name;
  switch (draft.kind) {
    case DraftKind::New: name = request.tray.newMailTemplate; break;
    case DraftKind::Forward: name = request.tray.forwardTemplate; break;
    default: name = request.tray.replyTemplate; break;
  }
  if (request.templateName) name = *request.templateName;
  const Context context{request, draft.kind, draft.keyword, name, draft.to,
                        Signatures(settings_, request.tray)};
  if (request.sources.empty()) {
    draft.body = bodyOf(context, nullptr);
    return draft;
  }
  for (std::size_t i = 0; i < request.sources.size(); ++i) {
    if (i > 0) draft.body += kMailSeparator + "\n";
    draft.body += bodyOf(context, &request.sources[i]);
  }
  return draft;
}

void DraftPreparer::prepareHeader(const PrepareRequest& request, PreparedDraft& draft) const {
  const auto& sources = request.sources;
  if (sources.empty()) return;
  std::vector<std::string> to, cc, bcc;
  std::string subject;
  for (const SourceMail& source : sources) {
    const message::MailRecord& mail = source.record;
    const bool reply = isReply(draft.kind);
    to.push_back(reply ? (mail.replyTo.empty() ? listOf(mail.from) : mail.replyTo) : listOf(mail.to));
    if (draft.kind == DraftKind::ReplyAll) {
      cc.push_back(listOf(mail.to));
      cc.push_back(listOf(mail.cc));
    } else if (!reply) {
      cc.push_back(listOf(mail.cc));
      bcc.push_back(listOf(mail.bcc));
    }
    const std::string own = draft.kind == DraftKind::Copy ? mail.subject
                                                           : ReplySubject::withoutKeyword(mail.subject, draft.keyword);
    subject += (subject.empty() ? "" : "+") + own;
  }
  switch (draft.kind) {
    case DraftKind::ReplyAll:
    case DraftKind::Reply: draft.subject = ReplySubject::reply(subject); break;
    case DraftKind::Forward: draft.subject = ReplySubject::forward(subject); return;
    case DraftKind::Addition: draft.subject = ReplySubject::addition(subject); break;
    default: draft.subject = subject; break;
  }
  const core::AliasTable& aliases = settings_.aliases();
  draft.to = mergedList(aliases, to);
  std::set<std::string> leftOut = addressesOf(aliases, draft.to);
  if (draft.kind == DraftKind::ReplyAll) {
    for (const std::string& own : {settings_.text(core::item::kSenderAddress), request.tray.from})
      for (const std::string& address : addressesOf(aliases, own)) leftOut.insert(address);
  }
  draft.cc = mergedList(aliases, cc, leftOut);
  draft.bcc = mergedList(aliases, bcc);
  if (!isReply(draft.kind)) return;
  const message::MailRecord& first = sources.front().record;
  if (!first.messageId.empty()) {
    draft.inReplyTo = "Your message of " + message::MailDate::format(first.date, settings_.timeZoneOffsetHours()) +
                      " <" + first.messageId + ">";
  }
  for (const SourceMail& source : sources) {
    if (source.record.messageId.empty()) continue;
    draft.references += (draft.references.empty() ? "" : " ") + ("<" + source.record.messageId + ">");
  }
}

std::string DraftPreparer::bodyOf(const Context& context, const SourceMail* source) const {
  if (context.kind == DraftKind::Copy) return source ? quoteOf(context, *source, "") : std::string();
  if (context.kind == DraftKind::Addition) return source ? builtInText(context, *source) : std::string();
  if (context.templateName == noTemplate()) return {};
  if (context.templateName == standardTemplate()) {
    return context.kind == DraftKind::New || !source ? std::string() : builtInText(context, *source);
  }
  return templateText(context, source, context.templateName).value_or("");
}

std::string DraftPreparer::builtInText(const Context& context, const SourceMail& source) const {
  const message::MailRecord& mail = source.record;
  const std::string date = sentDate(source);
  if (context.kind == DraftKind::Forward) {
    return listOf(mail.from) + platform::sjisLiteral(" 様が\n  時刻 ") + date +
           platform::sjisLiteral(" に送信したメールを転送します。\n") + kForwardRule + "\n" +
           quoteOf(context, source, std::string(kForwardPrefix));
  }
  const bool addition = context.kind == DraftKind::Addition;
  return platform::sjisLiteral("  拝啓，") + listOf(addition ? mail.to : mail.from) +
         platform::sjisLiteral(" 様\n") + platform::sjisLiteral("  時刻 ") + date +
         (addition ? platform::sjisLiteral(" に送信したメールの追加です。\n")
                   : platform::sjisLiteral(" に送信されたメールの返事です。\n")) +
         quoteOf(context, source, prefixOf(context, source));
}

std::string DraftPreparer::prefixOf(const Context& context, const SourceMail& source) const {
  return QuotePrefix::of(context.request.tray, source, TemplateFields(&source, settings_.timeZoneOffsetHours(), book_));
}

std::optional<std::string> DraftPreparer::templateText(const Context& context, const SourceMail* source,
                                                       const std::string& name) const {
  const TemplateFolder folder = context.kind == DraftKind::New       ? TemplateFolder::New
                                : context.kind == DraftKind::Forward ? TemplateFolder::Trans
                                                                     : TemplateFolder::Reply;
  const auto lines = TemplateFiles(settings_.text(core::item::kTemplateFolder)).readLines(folder, name);
  if (!lines) {
    messages_.error(MessageNumber::NoTemplate);
    return std::nullopt;
  }
  const TemplateFields fields(source, settings_.timeZoneOffsetHours(), book_);
  const auto lookup = [&](std::string_view keyword) -> std::optional<std::string> {
    const auto is = [keyword](std::string_view name) { return core::equalsIgnoringAsciiCase(keyword, name); };
    if (is("[key]")) return context.keyword;
    if (is("[signauto]")) return joinedLines(context.signatures.lines(Signatures::kAutomatic, context.to));
    if (is("[signjp]")) return joinedLines(context.signatures.lines(Signatures::kJapanese, context.to));
    if (is("[signeng]")) return joinedLines(context.signatures.lines(Signatures::kEnglish, context.to));
    if (is("[body]")) return source ? inlineText(quoteOf(context, *source, "")) : std::string();
    if (is("[tagbody]")) return source ? inlineText(quoteOf(context, *source, prefixOf(context, *source))) : "";
    if (is("[header]")) {
      if (!source) return std::string();
      std::string header = source->header;
      header.erase(std::remove(header.begin(), header.end(), '\r'), header.end());
      return header;
    }
    return fields.value(keyword);
  };
  std::string text;
  for (const std::string& line : *lines) text += TemplateFields::expandKeywords(line, lookup) + "\n";
  return text;
}

// The quote of `source`'s body with `prefix`, the user's signature left out
// (the tray's kind of signature, or the automatic one when the tray has none).
std::string DraftPreparer::quoteOf(const Context& context, const SourceMail& source, std::string prefix) const {
  const int kind = context.signatures.trayKind() == Signatures::kNone ? Signatures::kAutomatic
                                                                       : context.signatures.trayKind();
  const BodyQuoter quoter(std::move(prefix), settings_.number(core::item::kLineWrapWidth),
                          context.signatures.lines(kind, context.to));
  std::string text;
  quoter.quote(source, text);
  return text;
}

// When the mail was sent, in the user's zone, written as the locale writes
// dates ("%c").
std::string DraftPreparer::sentDate(const SourceMail& source) const {
  const message::LocalTime local = message::MailDate::toLocal(source.record.date, settings_.timeZoneOffsetHours());
  std::tm fields{};
  fields.tm_year = local.year - 1900;
  fields.tm_mon = local.month - 1;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_wday = local.weekday;
  return platform::localeDateTime(fields);
}

}  // namespace zorvik::compose
