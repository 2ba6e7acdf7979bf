/// \file
/// Every numbered message by name. The value is the number R the user sees
/// (as "No." R - 40000 in the caption) and the key of its text in the
/// message table; core::Messages takes only these names, so a bare number
/// does not compile at a call site. The table refuses to build while a name
/// here has no text (see MessageTable.cpp).
///
/// Some texts read alike but belong to different places and stay distinct:
/// the tree view's rename messages (402xx) and the list view's (403xx), and
/// the SMTP connect failure found at once (41006) or by the loop (41001).
#pragma once

namespace zorvik::core {

enum class MessageNumber : int {
  // Questions and refusals about cabinets, trays and the mails in them.
  ClearCabinetLinks = 40121,
  DeleteTrayAndMails = 40122,
  DeleteAllMails = 40123,
  DeleteCabinet = 40124,
  SortWithoutLink = 40126,  // question: the sort leaves no link behind
  ChangeTrayReadState = 40127,
  ChangeCabinetReadState = 40128,
  FirstTimeRecipient = 40129,
  SortTrayNotFound = 40131,
  MailTrayNotFound = 40132,
  NoAttachmentInBody = 40133,
  UuencodeTruncated = 40134,
  Base64Truncated = 40135,
  NoSearchText = 40150,
  BackupIntoOwnTree = 40160,
  NoSourceCabinet = 40161,
  NoSourceTray = 40162,
  ServerCommandRunning = 40185,
  SettingsFileNotCreated = 40186,
  SettingsFileLineError = 40190,

  // The tree view.
  TreeNameEmpty = 40201,
  TreeCabinetRenameFailed = 40202,
  TreeTrayRenameFailed = 40203,
  ForbiddenNameCharacter = 40204,
  NoCabinetBelow = 40210,
  CabinetCreateFailed = 40211,
  NoTrayBelow = 40212,
  TrayCreateFailed = 40213,
  NotDeletable = 40220,
  TrayDeleteFailed = 40221,
  MailsDeleteFailed = 40222,
  NoBulkDelete = 40223,
  CabinetHoldsTrays = 40224,
  CabinetHoldsCabinets = 40226,
  TreeNotRenamable = 40230,
  TreeMoveFailed = 40240,
  LinkOfNonMailUnsupported = 40251,
  MultipleLinkUnsupported = 40253,
  MultipleMoveOfNonMailUnsupported = 40264,
  TreeKeyMacroFault = 40290,

  // The list view and the text view.
  ListNameEmpty = 40301,
  ListCabinetRenameFailed = 40302,
  ListTrayRenameFailed = 40303,
  ListNotRenamable = 40331,
  LinkedMailDropUnsupported = 40351,
  ListKeyMacroFault = 40390,
  TagPathNotFound = 40410,
  NoApplication = 40411,
  TextKeyMacroFault = 40490,

  // Composing, tray properties, sorting tests, import and search.
  NoMailText = 40501,
  NoRecipient = 40502,
  NoSubject = 40503,
  NoOwnAddress = 40504,
  CharactersNotArriving = 40505,  // question: characters that will not arrive as written
  NoTemplate = 40540,
  DraftNotStored = 40599,
  ChangeCabinetTrayProperties = 40610,
  ChangeSelectedTrayProperties = 40611,
  NoMailToTest = 40630,
  NoImportFile = 40680,
  BadImportFileName = 40681,
  ImportCopyRefused = 40682,
  ImportConversionRefused = 40683,
  AlMail16ConversionRefused = 40684,
  AlMail32Unsupported = 40685,
  NetscapeMailUnsupported = 40686,
  Denshin8Unsupported = 40687,
  ClearTrayBeforeImport = 40688,
  NoMailerKind = 40689,
  MimeConversionFailed = 40690,
  ExchangeUnsupported = 40700,
  DangerousAttachmentTag = 40711,
  SearchInterrupted = 40731,
  SearchCannotContinue = 40732,

  // Opening the document: settings file and store.
  RewriteSettings = 40800,  // question
  BuildStore = 40801,       // question
  StoreNotBuilt = 40802,
  SystemTraysBroken = 40803,
  SettingsNotWritten = 40804,
  NoDesktopShortcut = 40806,

  // Dial-up.
  DialUpNotInstalled = 40900,
  DialUpBadSettings = 40922,
  DialUpHungUp = 40923,
  DialUpEntryNotFound = 40924,

  // Sending (SMTP).
  SmtpNotConnected = 41001,  // the connection attempt failed later
  SmtpGreetingRefused = 41002,
  SmtpHeloRefused = 41003,
  BadAddress = 41004,
  NoRecipients = 41005,
  SmtpConnectFailed = 41006,  // the connection attempt failed at once
  TemporaryFileNotOpened = 41007,
  SmtpMailRefused = 41008,
  SmtpDataRefused = 41009,
  SmtpUnexpectedReply = 41010,
  SmtpConnectionLost = 41011,
  SmtpMailBodyRefused = 41012,
  SmtpQuitFailed = 41013,
  SmtpNoSocket = 41014,
  SmtpWriteFailed = 41015,
  SmtpDisconnected = 41016,
  SmtpNoStartTls = 41017,        // STARTTLS required but not offered or refused
  SmtpAuthRefused = 41018,
  SmtpNoAuthMechanism = 41019,   // the server offers no mechanism that may be used
  SmtpPlainAuthInClear = 41020,  // PLAIN or LOGIN without TLS, not allowed

  // Receiving (POP3).
  PopListFailed = 41050,
  PopReceiveError = 41051,
  PopConnectionGone = 41052,
  PopNoApop = 41053,
  PopBadGreeting = 41054,
  PopUserFailed = 41055,
  PopPassRefused = 41056,
  PopPassFailed = 41057,
  PopApopRefused = 41058,
  PopApopFailed = 41059,
  PopStatFailed = 41060,
  PopTopFailed = 41061,
  PopUidlFailed = 41062,
  PopRetrFailed = 41063,
  PopDeleFailed = 41064,
  PopSendError = 41066,
  PopNoSocket = 41067,
  PopCannotConnect = 41068,
  PopFetchRefused = 41069,
  PopDeleteRefused = 41070,
  PopOutOfMemory = 41071,
  PopNoStls = 41072,             // STLS required but refused
  PopAuthPlainRefused = 41073,
  PopAuthPlainFailed = 41074,

  // Files while composing and decoding.
  AttachmentNotOpened = 41100,
  TemporaryFileNotCreated = 41101,
  AttachmentNotExtracted = 41110,
  AttachmentTemporaryFileNotCreated = 41111,
  OutOfMemory = 41124,
  DiskFull = 41125,
  DirectoryNotCreated = 41126,

  // Secure connections (POP3 and SMTP).
  TlsFailed = 41130,              // the handshake failed
  TlsCertificateRefused = 41131,  // the server's certificate was not accepted
  TooManyLinks = 42680,

  // Logs, attachments, time-outs, addresses and the state of receiving.
  LogNotOpened = 43001,
  NoAttachmentFolder = 43002,
  AttachmentNotCopied = 43003,
  PopError = 43009,
  PopSendTimeout = 43011,
  PopReceiveTimeout = 43012,
  MailTooLarge = 43013,  // question
  SendFailed = 43014,
  SmtpSendTimeout = 43015,
  SmtpReceiveTimeout = 43016,
  OleInitFailed = 43018,
  SocketInitFailed = 43019,
  OnePointFileError = 43020,
  AddressWithoutAt = 43022,
  AddressWithoutDomain = 43023,
  ReceiveRunning = 43030,
  ReceiveDiskFull = 43040,
  SearchRunning = 44000,

  // Disk space and the new-mail work file.
  LowDiskSpace = 44101,  // question: free space and continue, or end
  WorkFileLeft = 44110,
  RecoverWorkFile = 44111,  // question
  WorkFileNotMoved = 44112,

  // The document, the one-writer lock and the account.
  NoSettingsFile = 44200,
  UnreadableSettingsFile = 44201,
  OtherWorkRunning = 44202,
  LeftoverNotMoved = 44203,
  WorkFileSetAside = 44204,
  NoStore = 44205,
  PopNoGreeting = 44206,
  RebuildExistingSettings = 44207,  // question
  BadItemValue = 44208,
  NameTaken = 44209,
  NoSuchTray = 44210,
  NoSuchMail = 44211,

  // Dial-up and import beyond the numbers above.
  DialUpFailed = 44220,  // the dial-up service's own words
  NotAMailbox = 44221,
  TrayRebuildFailed = 44222,
};

/// R itself, for what quotes the number (captions, logs).
constexpr int numberOf(MessageNumber r) { return static_cast<int>(r); }

}  // namespace zorvik::core
