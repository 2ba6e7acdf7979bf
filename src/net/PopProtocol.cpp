#include "net/PopProtocol.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <utility>

#include "message/Base64.h"
#include "message/Md5.h"
#include "net/UidList.h"
#include "platform/TextEncoding.h"

namespace zorvik::net {

using core::MessageNumber;

namespace {

// Step codes shown in the receive time-out message.
constexpr int kStepApop = 51;
constexpr int kStepUser = 52;
constexpr int kStepPass = 53;
constexpr int kStepStls = 54;
constexpr int kStepCapa = 55;
constexpr int kStepAuthPlain = 56;
constexpr int kStepStat = 30;
constexpr int kStepList = 31;
constexpr int kStepListRest = 32;
constexpr int kStepUidl = 33;
constexpr int kStepUidlRest = 34;
constexpr int kStepTopPipeline = 40;
constexpr int kStepRetr = 10;
constexpr int kStepRetrRest = 11;
constexpr int kStepDele = 20;
constexpr int kStepQuit = 60;

// Room for CR LF where a server counted LF only, and for dot-stuffing, above
// the size LIST announced; beyond it the server is not sending that mail.
constexpr std::size_t kMailSizeFactor = 4;
constexpr std::size_t kMailSizeSlack = 64u << 10;
constexpr std::size_t kMaxReservation = 32u << 20;

// What is kept of a CAPA answer: far more than any server announces.
constexpr std::size_t kMaxCapabilities = 100;
constexpr std::size_t kMaxCapabilityLength = 1000;

const std::string& tooLongText() {
  static const std::string text = platform::utf8ToSjis("サーバの応答が長すぎるため受信を中止しました。");
  return text;
}
const std::string& tooManyText() {
  static const std::string text = platform::utf8ToSjis("サーバのメール数が多すぎるため受信を中止しました。");
  return text;
}
const std::string& notDurableText() {
  static const std::string text =
      platform::utf8ToSjis("受信したメールをディスクに保存できないため、サーバのメールは消去しません。");
  return text;
}

std::string_view withoutLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool isOk(std::string_view line) { return line.starts_with("+OK"); }

std::string asciiUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}
bool isTerminator(std::string_view line) { return withoutLineEnd(line) == "."; }

// The first `wanted` runs of decimal digits; a run too long for an int
// gives -1 so that it can never pass as a valid number.
std::vector<long> digitRuns(std::string_view text, std::size_t wanted) {
  std::vector<long> runs;
  std::size_t i = 0;
  while (i < text.size() && runs.size() < wanted) {
    if (text[i] < '0' || text[i] > '9') {
      ++i;
      continue;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value);
    runs.push_back(error == std::errc() ? value : -1);
    i = static_cast<std::size_t>(end - text.data());
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  return runs;
}

// The header lines of a mail's text: up to the first empty line or the
// terminator. The answer to TOP and to RETR of the same mail give the same
// header, whether the server sends the empty line after it or not.
std::string_view headerPart(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = withoutLineEnd(text.substr(at, next - at));
    if (line.empty() || line == ".") break;
    at = next;
  }
  return text.substr(0, at);
}

// A CR or LF in a setting would end the command early and start another.
std::string oneLine(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

}  // namespace

PopProtocol::PopProtocol(PopAccount account, MailServerTray& tray, ReceivedMailSink& sink, PopLimits limits)
    : account_(std::move(account)), tray_(tray), sink_(sink), limits_(limits) {
  account_.user = oneLine(std::move(account_.user));
  account_.password = oneLine(std::move(account_.password));
}

void PopProtocol::setState(PopState next) {
  if (next == state_) return;
  const PopState previous = state_;
  state_ = next;
  if (observer_) observer_(previous, next);
}

void PopProtocol::send(std::string command, PopState next, int stepCode) {
  commands_.push_back(std::move(command));
  stepCode_ = stepCode;
  setState(next);
}

void PopProtocol::post(PopNotification code, long value) { events_.push_back({code, value}); }

void PopProtocol::fail(std::optional<MessageNumber> message, std::string_view text) {
  if (failure_) return;
  failure_ = Failure{message, std::string(text)};
}

void PopProtocol::becomeReady(PopNotification code) {
  if (code == PopNotification::LoggedIn) loggedIn_ = true;
  setState(PopState::Ready);
  post(code);
}

std::vector<std::string> PopProtocol::takeCommands() { return std::exchange(commands_, {}); }
std::vector<PopProtocol::Event> PopProtocol::takeEvents() { return std::exchange(events_, {}); }

// ---- Login ----

void PopProtocol::greet(std::string_view greeting) {
  const std::string_view firstLine = withoutLineEnd(greeting.substr(0, greeting.find('\n')));
  if (!isOk(firstLine)) return fail(MessageNumber::PopBadGreeting, firstLine);
  greeting_ = std::string(firstLine);
  changed_ = false;
  if (account_.useStls) return send("STLS\r\n", PopState::StlsSent, kStepStls);
  continueLogin();
}

void PopProtocol::onStlsReply(std::string_view line) {
  // Without the upgrade nothing more is said: no password in the clear.
  if (!isOk(line)) return fail(MessageNumber::PopNoStls, withoutLineEnd(line));
  setState(PopState::TlsStarting);
}

void PopProtocol::tlsStarted() {
  capabilities_.clear();
  capabilitiesAsked_ = false;
  continueLogin();
}

void PopProtocol::continueLogin() {
  if (account_.askCapabilities && !capabilitiesAsked_) {
    capabilitiesAsked_ = true;
    return send("CAPA\r\n", PopState::CapaSent, kStepCapa);
  }
  startLogin();
}

void PopProtocol::onCapaReply(std::string_view line) {
  // A server that knows no CAPA announces nothing; the session goes on.
  if (!isOk(line)) return capabilitiesKnown();
  setState(PopState::CapaReading);
}

void PopProtocol::onCapaLine(std::string_view line) {
  if (isTerminator(line)) return capabilitiesKnown();
  if (capabilities_.size() < kMaxCapabilities)
    capabilities_.emplace_back(withoutLineEnd(line).substr(0, kMaxCapabilityLength));
}

void PopProtocol::capabilitiesKnown() {
  if (loggedIn_) return startBatch();
  startLogin();
}

void PopProtocol::startLogin() {
  if (account_.useApop) {
    // The time stamp is the server's "<...>"; without one there is nothing
    // to hash, and the password must not go out in the clear instead.
    const std::size_t open = greeting_.find('<');
    const std::size_t close = open == std::string::npos ? open : greeting_.find('>', open);
    if (close == std::string::npos) return fail(MessageNumber::PopNoApop);
    const std::string digest = message::Md5::hex(greeting_.substr(open, close - open + 1) + account_.password);
    return send("APOP " + account_.user + " " + digest + "\r\n", PopState::ApopSent, kStepApop);
  }
  if (account_.useAuthPlain) {
    // The credentials go as the initial response: no authorisation
    // identity, the user name and the password, each after a NUL.
    const std::string credentials = std::string(1, '\0') + account_.user + '\0' + account_.password;
    return send("AUTH PLAIN " + message::base64Encode(credentials) + "\r\n", PopState::AuthPlainSent,
                kStepAuthPlain);
  }
  send("USER " + account_.user + "\r\n", PopState::UserSent, kStepUser);
}

void PopProtocol::onAuthPlainReply(std::string_view line) {
  const std::string_view text = withoutLineEnd(line);
  if (isOk(text)) return becomeReady(PopNotification::LoggedIn);
  return text.starts_with("-ERR") ? fail(MessageNumber::PopAuthPlainRefused, text) : fail(MessageNumber::PopAuthPlainFailed);
}

void PopProtocol::onLoginReply(std::string_view line) {
  const std::string_view text = withoutLineEnd(line);
  const bool refused = text.starts_with("-ERR");
  switch (state_) {
    case PopState::UserSent:
      if (!isOk(text)) return fail(MessageNumber::PopUserFailed, text);
      send("PASS " + account_.password + "\r\n", PopState::PassSent, kStepPass);
      return;
    case PopState::PassSent:
      if (isOk(text)) return becomeReady(PopNotification::LoggedIn);
      return refused ? fail(MessageNumber::PopPassRefused, text) : fail(MessageNumber::PopPassFailed);
    default:
      if (isOk(text)) return becomeReady(PopNotification::LoggedIn);
      return refused ? fail(MessageNumber::PopApopRefused, text) : fail(MessageNumber::PopApopFailed);
  }
}

// ---- Listing ----

void PopProtocol::list(ListMode mode) {
  mode_ = mode;
  entries_.clear();
  entriesByKey_.clear();
  newCount_ = unreadCount_ = receivedCount_ = 0;
  tray_.beginListing();
  send("STAT\r\n", PopState::StatSent, kStepStat);
}

void PopProtocol::onStatReply(std::string_view line) {
  const std::string_view text = withoutLineEnd(line);
  if (!isOk(text)) return fail(MessageNumber::PopStatFailed, text);
  // The count is the first number; the total size after it is not needed,
  // the sizes of LIST are.
  const std::vector<long> runs = digitRuns(text.substr(3), 1);
  const long count = runs.empty() ? 0 : runs[0];
  if (count < 0 || count > limits_.maxMails) return fail(MessageNumber::PopStatFailed, tooManyText());
  if (count == 0) {
    if (account_.useUidl) UidList::remove(tray_.uidFilePath());
    changed_ = true;
    return becomeReady(PopNotification::ListingFinished);
  }
  post(PopNotification::CountersChanged);
  entries_.assign(static_cast<std::size_t>(count), ServerMailEntry{});
  listFilled_ = 0;
  send("LIST\r\n", PopState::ListSent, kStepList);
}

void PopProtocol::onListReply(std::string_view line) {
  if (!isOk(line)) return fail(MessageNumber::PopListFailed, withoutLineEnd(line));
  stepCode_ = kStepListRest;
  setState(PopState::ListReading);
}

void PopProtocol::onListLine(std::string_view line) {
  if (!isTerminator(line)) {
    // Lines beyond the count STAT gave are dropped: they cannot be kept
    // anywhere, and a server that sends a million of them costs nothing.
    if (listFilled_ >= entries_.size()) return;
    const std::vector<long> runs = digitRuns(line, 2);
    if (runs.size() < 2 || runs[0] <= 0 || runs[1] < 0) return;
    entries_[listFilled_].number = static_cast<int>(runs[0]);
    entries_[listFilled_].size = static_cast<int>(runs[1]);
    ++listFilled_;
    return;
  }
  if (!account_.useUidl) return classify();
  send("UIDL\r\n", PopState::UidlSent, kStepUidl);
}

void PopProtocol::onUidlReply(std::string_view line) {
  if (!isOk(line)) return fail(MessageNumber::PopUidlFailed, withoutLineEnd(line));
  uidlPosition_ = 0;
  stepCode_ = kStepUidlRest;
  setState(PopState::UidlReading);
}

void PopProtocol::onUidlLine(std::string_view line) {
  if (isTerminator(line)) {
    linkUidFile();
    return classify();
  }
  const std::string_view text = withoutLineEnd(line);
  const std::size_t firstSpace = text.find(' ');
  const std::size_t lastSpace = text.rfind(' ');
  if (firstSpace == std::string_view::npos || lastSpace + 1 >= text.size()) return;
  const std::vector<long> runs = digitRuns(text.substr(0, firstSpace), 1);
  if (runs.empty() || runs[0] <= 0) return;
  const int number = static_cast<int>(runs[0]);
  const std::string uid(text.substr(lastSpace + 1));
  // Servers answer in LIST order; the search is for those that do not.
  if (uidlPosition_ < entries_.size() && entries_[uidlPosition_].number == number) {
    entries_[uidlPosition_++].uid = uid;
    return;
  }
  const auto match = std::find_if(entries_.begin(), entries_.end(),
                                  [number](const ServerMailEntry& e) { return e.number == number; });
  if (match != entries_.end()) match->uid = uid;
}

void PopProtocol::linkUidFile() {
  const UidList known = UidList::load(tray_.uidFilePath());
  for (ServerMailEntry& entry : entries_) {
    if (entry.uid.empty()) continue;
    if (const std::optional<int> index = known.find(entry.uid)) entry.trayIndex = *index;
  }
}

void PopProtocol::classify() {
  if (mode_ == ListMode::NoHeaders) {
    for (ServerMailEntry& entry : entries_) {
      if (!entry.addressable()) continue;
      entry.fetch = entry.isNew = true;
      ++newCount_;
      post(PopNotification::CountersChanged);
    }
    return finishListing();
  }
  std::vector<int> wanted;
  if (account_.useUidl) classifyByUidl();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const ServerMailEntry& entry = entries_[i];
    if (entry.addressable() && (!account_.useUidl || entry.isNew)) wanted.push_back(static_cast<int>(i));
  }
  if (account_.useUidl && mode_ == ListMode::UidlFast) return finishListing();
  startHeaderPipeline(std::move(wanted));
}

void PopProtocol::classifyByUidl() {
  for (ServerMailEntry& entry : entries_) {
    if (!entry.addressable()) continue;
    // A stale line of the ".uid" file may name a copy that is gone.
    const auto copy = entry.trayIndex < 0 ? MailServerTray::CopyState::Missing : tray_.stateAt(entry.trayIndex);
    if (copy == MailServerTray::CopyState::Missing) {
      entry.trayIndex = -1;
      entry.fetch = entry.isNew = true;
      ++newCount_;
      continue;
    }
    entry.fetch = copy != MailServerTray::CopyState::Received;
    ++(entry.fetch ? unreadCount_ : receivedCount_);
    tray_.markPresent(entry.trayIndex);
  }
  post(PopNotification::CountersChanged);
}

void PopProtocol::startHeaderPipeline(std::vector<int> wanted) {
  if (wanted.empty()) return finishListing();
  wantedHeaders_ = std::move(wanted);
  topSent_ = topAnswered_ = 0;
  inHeader_ = false;
  stepCode_ = kStepTopPipeline;
  setState(PopState::TopPipeline);
  sendNextTop();
}

void PopProtocol::sendNextTop() {
  const ServerMailEntry& entry = entries_[static_cast<std::size_t>(wantedHeaders_[topSent_++])];
  commands_.push_back("TOP " + std::to_string(entry.number) + " 0\r\n");
}

bool PopProtocol::canPipelineMore() const {
  return !failure_ && state_ == PopState::TopPipeline && topSent_ < wantedHeaders_.size() &&
         topSent_ - topAnswered_ < static_cast<std::size_t>(limits_.maxTopInFlight);
}

void PopProtocol::pipelineMore() {
  if (canPipelineMore()) sendNextTop();
}

void PopProtocol::onTopPipelineLine(std::string_view line) {
  if (!inHeader_) {
    if (line.starts_with("+")) {
      inHeader_ = true;
      buffer_.clear();
      return;
    }
    if (line.starts_with("-")) return fail(MessageNumber::PopTopFailed, withoutLineEnd(line));
    return;  // stray line between answers
  }
  if (!isTerminator(line)) {
    if (buffer_.size() + line.size() > limits_.maxHeaderBytes) return fail(MessageNumber::PopTopFailed, tooLongText());
    buffer_.append(line);
    return;
  }
  inHeader_ = false;
  storeHeader(wantedHeaders_[topAnswered_++], buffer_);
  post(PopNotification::CountersChanged);
  if (topAnswered_ == wantedHeaders_.size()) return finishListing();
  // Keep one command in flight even when the server answers faster than
  // the session asks whether it has begun.
  if (topAnswered_ == topSent_) sendNextTop();
}

int PopProtocol::keepOrdinal(int index) {
  std::vector<int>& same = entriesByKey_[entries_[static_cast<std::size_t>(index)].headerKey];
  const auto at = std::lower_bound(same.begin(), same.end(), index);
  if (at == same.end() || *at != index) return static_cast<int>(same.insert(at, index) - same.begin());
  return static_cast<int>(at - same.begin());
}

void PopProtocol::storeHeader(int index, std::string_view text) {
  const std::string_view header = headerPart(text);
  ServerMailEntry& entry = entries_[static_cast<std::size_t>(index)];
  entry.headerKey = tray_.headerKey(header, entry.size);
  // With UIDL only the identifier tells mails apart: a new one is never
  // taken for an older mail that had the same Message-Id, Date and Subject.
  const MailServerTray::Match match = account_.useUidl ? MailServerTray::Match{}
                                                       : tray_.find(entry.headerKey, keepOrdinal(index));
  if (match.state == MailServerTray::CopyState::Missing) {
    entry.trayIndex = tray_.append(header, entry.size);
    if (entry.trayIndex >= 0) tray_.markPresent(entry.trayIndex);
    if (entry.trayIndex >= 0 && account_.useUidl && !entry.uid.empty())
      UidList::append(tray_.uidFilePath(), entry.trayIndex, entry.uid);
    // Counted as new already: by its identifier, or by a listing without headers.
    if (account_.useUidl || mode_ == ListMode::NoHeaders) return;
    entry.fetch = entry.isNew = true;
    ++newCount_;
    return;
  }
  if (entry.isNew) --newCount_;
  entry.isNew = false;
  entry.trayIndex = match.index;
  entry.fetch = match.state != MailServerTray::CopyState::Received;
  ++(entry.fetch ? unreadCount_ : receivedCount_);
  tray_.markPresent(match.index);
}

void PopProtocol::finishListing() {
  changed_ = true;
  becomeReady(PopNotification::ListingFinished);
}

// ---- One mail ----

bool PopProtocol::reserveFor(int index) {
  buffer_.clear();
  const int size = entries_[static_cast<std::size_t>(index)].size;
  // A size from LIST is only the server's word: beyond a modest reservation
  // the buffer grows with what really arrives.
  try {
    buffer_.reserve(std::min({static_cast<std::size_t>(std::max(size, 0)), limits_.maxMailBytes, kMaxReservation}));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void PopProtocol::prepareFetch(int index, bool headerOnly) {
  current_ = index;
  headerOnly_ = headerOnly;
  buffer_.clear();
  const ServerMailEntry& entry = entries_[static_cast<std::size_t>(index)];
  bufferLimit_ = limits_.maxMailBytes;
  if (headerOnly) bufferLimit_ = limits_.maxHeaderBytes;
  else if (entry.size >= 0)
    bufferLimit_ = std::min(bufferLimit_, static_cast<std::size_t>(entry.size) * kMailSizeFactor + kMailSizeSlack);
  stepCode_ = kStepRetr;
  setState(headerOnly ? PopState::TopOversize : PopState::RetrSent);
}

void PopProtocol::sendFetch(const FetchOrder& order) {
  const std::string number = std::to_string(entries_[static_cast<std::size_t>(order.index)].number);
  commands_.push_back(order.headerOnly ? "TOP " + number + " 0\r\n" : "RETR " + number + "\r\n");
}

void PopProtocol::fetch(int index, bool headerOnly) {
  sendFetch({index, headerOnly});
  prepareFetch(index, headerOnly);
}

// ---- Many mails ----

void PopProtocol::fetchMany(std::vector<FetchOrder> orders) {
  orders_ = std::move(orders);
  ordersSent_ = ordersDone_ = 0;
  ordersKept_ = orders_.size();
  if (orders_.empty()) return becomeReady(PopNotification::FetchesEnded);
  batch_ = true;
  // Whether the server takes commands ahead of its answers is asked once.
  if (!capabilitiesAsked_) {
    capabilitiesAsked_ = true;
    return send("CAPA\r\n", PopState::CapaSent, kStepCapa);
  }
  startBatch();
}

void PopProtocol::startBatch() {
  pipelining_ = std::any_of(capabilities_.begin(), capabilities_.end(), [](const std::string& line) {
    return asciiUpper(line.substr(0, line.find(' '))) == "PIPELINING";
  });
  sendFetch(orders_[0]);
  ++ordersSent_;
  if (!reserveFor(orders_[0].index)) return fail(MessageNumber::PopOutOfMemory);
  prepareFetch(orders_[0].index, orders_[0].headerOnly);
  askAhead();
}

// The listed octets of the commands in flight beyond the mail in hand bound
// how far ahead the session asks, so that a stop drops little.
void PopProtocol::askAhead() {
  if (!pipelining_) return;
  const auto listed = [this](std::size_t k) {
    const int size = entries_[static_cast<std::size_t>(orders_[k].index)].size;
    return orders_[k].headerOnly ? 0 : static_cast<std::size_t>(std::max(size, 0));
  };
  std::size_t ahead = 0;
  for (std::size_t k = ordersDone_ + 1; k < ordersSent_; ++k) ahead += listed(k);
  while (ordersSent_ < ordersKept_ &&
         ordersSent_ - ordersDone_ < static_cast<std::size_t>(std::max(limits_.maxRetrInFlight, 1))) {
    if (ahead > 0 && ahead + listed(ordersSent_) > limits_.maxBytesAhead) return;
    ahead += listed(ordersSent_);
    sendFetch(orders_[ordersSent_++]);
  }
}

void PopProtocol::nextInBatch() {
  ++ordersDone_;
  if (ordersDone_ == ordersSent_ && ordersSent_ >= ordersKept_) {
    batch_ = false;
    orders_.clear();
    return becomeReady(PopNotification::FetchesEnded);
  }
  if (ordersSent_ == ordersDone_) sendFetch(orders_[ordersSent_++]);
  const FetchOrder& head = orders_[ordersDone_];
  if (!reserveFor(head.index)) return fail(MessageNumber::PopOutOfMemory);
  prepareFetch(head.index, head.headerOnly);
  askAhead();
}

void PopProtocol::stopFetches() {
  if (batch_) ordersKept_ = std::min(ordersKept_, ordersDone_ + 1);
}

void PopProtocol::onRetrReply(std::string_view line) {
  if (!isOk(line)) return fail(MessageNumber::PopRetrFailed, withoutLineEnd(line));
  stepCode_ = kStepRetrRest;
  setState(PopState::RetrReading);
}

void PopProtocol::onRetrLine(std::string_view line) {
  if (buffer_.size() + line.size() > bufferLimit_) return fail(MessageNumber::PopRetrFailed, tooLongText());
  buffer_.append(line);
  if (isTerminator(line)) finishMail();
}

void PopProtocol::finishMail() {
  // After stopFetches() the answers asked for ahead are only read past.
  if (!batch_ || ordersDone_ < ordersKept_) {
    const ServerMailEntry& entry = entries_[static_cast<std::size_t>(current_)];
    // A mail listed without its header gets its copy now, so that the
    // mail-server tray knows it was fetched should the session break before
    // its deletion (the next receive must not fetch it again).
    const bool listedWithoutHeader = mode_ == ListMode::UidlFast || mode_ == ListMode::NoHeaders;
    if (listedWithoutHeader && entry.isNew && entry.headerKey.empty()) storeHeader(current_, buffer_);
    const bool kept = sink_.beginMail(current_, entry, headerOnly_) && sink_.appendMail(buffer_) && sink_.endMail();
    // The sink has said why (a full disk); ending here sends no DELE after it.
    if (!kept) return fail(std::nullopt);
    ++undurableMails_;
    post(PopNotification::Progress, static_cast<long>(buffer_.size()));
    post(PopNotification::MailReceived, current_);
  }
  if (batch_) return nextInBatch();
  setState(PopState::Ready);
}

// ---- DELE and QUIT ----

void PopProtocol::deleteMail(int index) {
  if (undurableMails_ > 0 && !sink_.makeDurable()) return fail(MessageNumber::PopDeleFailed, notDurableText());
  undurableMails_ = 0;
  current_ = index;
  send("DELE " + std::to_string(entries_[static_cast<std::size_t>(index)].number) + "\r\n", PopState::DeleSent,
       kStepDele);
}

void PopProtocol::onDeleReply(std::string_view line) {
  if (!isOk(line)) return fail(MessageNumber::PopDeleFailed, withoutLineEnd(line));
  changed_ = true;
  becomeReady(PopNotification::Deleted);
}

void PopProtocol::quit() { send("QUIT\r\n", PopState::Quitting, kStepQuit); }

void PopProtocol::onQuitReply(std::string_view line) {
  stepCode_ = 0;
  quitConfirmed_ = isOk(line);
}

void PopProtocol::finishQuit() {
  if (quitConfirmed_) {
    for (const int index : deletedOnServer_) {
      ServerMailEntry& entry = entries_[static_cast<std::size_t>(index)];
      if (entry.trayIndex >= 0) tray_.remove(entry.trayIndex);
      entry.trayIndex = -1;
    }
  }
  deletedOnServer_.clear();
  if (changed_) {
    // Copies removed in this session shift every later copy down.
    const std::vector<int> removed = tray_.compact();
    if (account_.useUidl) {
      for (ServerMailEntry& entry : entries_) {
        if (entry.trayIndex < 0) continue;
        entry.trayIndex -= static_cast<int>(std::lower_bound(removed.begin(), removed.end(), entry.trayIndex) -
                                            removed.begin());
      }
      UidList::save(tray_.uidFilePath(), entries_);
    }
  }
  // The ".uid" file is written before the owner hears of the end, so a
  // session it starts at once reads the new numbering.
  setState(PopState::Idle);
  post(PopNotification::QuitFinished);
}

void PopProtocol::finishStop() {
  if (changed_ && account_.useUidl) UidList::save(tray_.uidFilePath(), entries_);
  setState(PopState::Idle);
}

// ---- Input ----

bool PopProtocol::awaitingReply() const {
  if (failure_) return false;
  switch (state_) {
    case PopState::UserSent:
    case PopState::PassSent:
    case PopState::ApopSent:
    case PopState::StatSent:
    case PopState::ListSent:
    case PopState::ListReading:
    case PopState::UidlSent:
    case PopState::UidlReading:
    case PopState::RetrSent:
    case PopState::RetrReading:
    case PopState::TopOversize:
    case PopState::DeleSent:
    case PopState::StlsSent:
    case PopState::CapaSent:
    case PopState::CapaReading:
    case PopState::AuthPlainSent: return true;
    case PopState::TopPipeline: return topAnswered_ < topSent_;
    case PopState::Quitting: return stepCode_ == kStepQuit;
    default: return false;
  }
}

void PopProtocol::handleLine(std::string_view line) {
  switch (state_) {
    case PopState::UserSent:
    case PopState::PassSent:
    case PopState::ApopSent: return onLoginReply(line);
    case PopState::StlsSent: return onStlsReply(line);
    case PopState::CapaSent: return onCapaReply(line);
    case PopState::CapaReading: return onCapaLine(line);
    case PopState::AuthPlainSent: return onAuthPlainReply(line);
    case PopState::StatSent: return onStatReply(line);
    case PopState::ListSent: return onListReply(line);
    case PopState::ListReading: return onListLine(line);
    case PopState::UidlSent: return onUidlReply(line);
    case PopState::UidlReading: return onUidlLine(line);
    case PopState::TopPipeline: return onTopPipelineLine(line);
    case PopState::RetrSent:
    case PopState::TopOversize: return onRetrReply(line);
    case PopState::RetrReading: return onRetrLine(line);
    case PopState::DeleSent: return onDeleReply(line);
    case PopState::Quitting: return onQuitReply(line);
    default: return;
  }
}

void PopProtocol::receive(std::string_view lines) {
  // Lines that arrive when no answer is expected are not the answer to
  // anything the session will ask next; they are dropped.
  while (!lines.empty() && awaitingReply()) {
    const std::size_t end = lines.find('\n');
    const std::size_t length = end == std::string_view::npos ? lines.size() : end + 1;
    handleLine(lines.substr(0, length));
    lines.remove_prefix(length);
  }
  if (state_ == PopState::RetrReading && !failure_) post(PopNotification::Progress, static_cast<long>(buffer_.size()));
}

MessageNumber PopProtocol::failureMessageForState() const {
  switch (state_) {
    case PopState::Connecting: return MessageNumber::PopBadGreeting;
    case PopState::UserSent: return MessageNumber::PopUserFailed;
    case PopState::StlsSent: return MessageNumber::PopNoStls;
    case PopState::AuthPlainSent: return MessageNumber::PopAuthPlainFailed;
    case PopState::StatSent: return MessageNumber::PopStatFailed;
    case PopState::ListSent:
    case PopState::ListReading: return MessageNumber::PopListFailed;
    case PopState::UidlSent:
    case PopState::UidlReading: return MessageNumber::PopUidlFailed;
    case PopState::TopPipeline: return MessageNumber::PopTopFailed;
    case PopState::RetrSent:
    case PopState::RetrReading:
    case PopState::TopOversize: return MessageNumber::PopRetrFailed;
    case PopState::DeleSent: return MessageNumber::PopDeleFailed;
    default: return MessageNumber::PopReceiveError;
  }
}

void PopProtocol::lineTooLong() { fail(failureMessageForState(), tooLongText()); }

void PopProtocol::connectionLost() { fail(std::nullopt); }

// ---- Owner's bookkeeping ----

void PopProtocol::markReceived(int index) {
  ServerMailEntry& entry = entries_[static_cast<std::size_t>(index)];
  if (entry.trayIndex >= 0) tray_.markReceived(entry.trayIndex);
  entry.fetch = false;
}

void PopProtocol::markDeleted(int index) { deletedOnServer_.push_back(index); }

bool PopProtocol::hasUnsavedAttachment(int index) const {
  const ServerMailEntry& entry = entries_[static_cast<std::size_t>(index)];
  return entry.trayIndex >= 0 && tray_.hasUnsavedAttachment(entry.trayIndex);
}

}  // namespace zorvik::net
