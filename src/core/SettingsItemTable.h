/// \file
/// The items of the personal settings file: every id, kind, default and the
/// description written beside it, in file order, ending with the end row.
/// The named ids below are those the rest of the program reads most.
#pragma once

#include "core/ItemTable.h"

namespace zorvik::core {

const ItemTable& settingsItemTable();

namespace item {
inline constexpr int kVersion = 101;
inline constexpr int kEditor = 102;
inline constexpr int kRegisterMailClient = 104;
inline constexpr int kEditorCaretOption = 106;
inline constexpr int kEditorSaveKeys = 107;
inline constexpr int kSeveralEditors = 108;
inline constexpr int kTemplateFolder = 105;
inline constexpr int kTimeZone = 109;
inline constexpr int kImportFolder = 113;
inline constexpr int kExportFolder = 114;
inline constexpr int kBackupFolder = 115;
inline constexpr int kUseAddressBook = 116;
inline constexpr int kWorkFolder = 117;
inline constexpr int kStartInBriskoMode = 118;
inline constexpr int kEditorSaveWait = 119;
inline constexpr int kEditorCloseAfterSave = 120;
inline constexpr int kSendReceiveAtStart = 123;
inline constexpr int kDomainAliases = 124;
inline constexpr int kSearchInBackground = 125;
inline constexpr int kSortingThreadLevel = 126;
inline constexpr int kMergePeriod = 127;
inline constexpr int kMergeSameTree = 128;
inline constexpr int kMergeFocusedOnly = 129;
inline constexpr int kExportPeriod = 130;
inline constexpr int kExportSameTree = 131;
inline constexpr int kExportFocusedOnly = 132;
inline constexpr int kBackupPeriod = 133;
inline constexpr int kBackupFocusedOnly = 134;
inline constexpr int kBackupDeleteCopied = 135;
inline constexpr int kBackupCompactAfter = 136;
inline constexpr int kSkipTrayCheck = 137;
inline constexpr int kStoreRoot = 201;
inline constexpr int kTopCabinet = 202;
inline constexpr int kNewMailTray = 203;
inline constexpr int kUnsentTray = 204;
inline constexpr int kSentTray = 205;
inline constexpr int kTrashTray = 206;
inline constexpr int kNewCabinetName = 207;
inline constexpr int kNewTrayName = 208;
inline constexpr int kEmptyTrashAtExit = 209;
inline constexpr int kMouseRename = 211;
inline constexpr int kMailServerTray = 212;
inline constexpr int kDraftsTray = 213;
inline constexpr int kSearchResultsTray = 214;
inline constexpr int kTreeKeys = 215;
inline constexpr int kTreeStructureFile = 216;
inline constexpr int kListForegroundColour = 302;
inline constexpr int kListBackgroundColour = 303;
inline constexpr int kDoubleClickAction = 304;
inline constexpr int kListFontName = 305;
inline constexpr int kListFontSize = 306;
inline constexpr int kListFontWeight = 307;
inline constexpr int kOpenDelay = 308;
inline constexpr int kDateFormat = 309;
inline constexpr int kThreadTopMark = 310;
inline constexpr int kThreadIndent = 311;
inline constexpr int kListKeys = 313;
inline constexpr int kListUnreadColour = 314;
inline constexpr int kTextHeaderBackgroundColour = 406;
inline constexpr int kTextHeaderTitleColour = 407;
inline constexpr int kTextKeys = 429;
inline constexpr int kSenderName = 501;
inline constexpr int kSenderAddress = 502;
inline constexpr int kReplyTo = 503;
inline constexpr int kOrganization = 504;
inline constexpr int kHalfWidthKanaToFullWidth = 505;
inline constexpr int kJapaneseSignature = 506;
inline constexpr int kEnglishSignature = 507;
inline constexpr int kAutoSendDelay = 508;
inline constexpr int kWarnNewRecipient = 509;
inline constexpr int kFirstLineAsSubject = 510;
inline constexpr int kExpandTextAttachmentsOnSend = 511;
inline constexpr int kExternalEditorAlways = 512;
inline constexpr int kComposeFormHeight = 513;
inline constexpr int kEditorFontName = 514;
inline constexpr int kEditorFontHeight = 515;
inline constexpr int kEditorFontWeight = 516;
inline constexpr int kLineWrapWidth = 517;
inline constexpr int kTrayNameIsKeyword = 518;
inline constexpr int kEditorKeys = 519;
inline constexpr int kEditorColumns = 520;
inline constexpr int kEditorBackgroundColour = 521;
inline constexpr int kEditorTextColour = 522;
inline constexpr int kEditorLockedColour = 523;
inline constexpr int kEditorTagColour = 524;
inline constexpr int kEditorLockLoaded = 525;
inline constexpr int kEditorLeftIndent = 526;
inline constexpr int kEditorDropList = 527;
inline constexpr int kSmtpServer = 601;
inline constexpr int kSmtpMaxSize = 602;
inline constexpr int kSmtpPort = 603;
inline constexpr int kSmtpSendTimeout = 604;
inline constexpr int kSmtpReceiveTimeout = 605;
inline constexpr int kSmtpHeloName = 606;
inline constexpr int kDefaultCharset = 701;
inline constexpr int kPopUpOnNewMail = 702;
inline constexpr int kCheckInterval = 703;
inline constexpr int kReceiveSplitSize = 704;
inline constexpr int kExpandTextAttachments = 705;
inline constexpr int kAutoSort = 707;
inline constexpr int kSortOrder = 708;
inline constexpr int kDoNotSaveAttachments = 709;
inline constexpr int kCreateTraysFromKeywords = 710;
inline constexpr int kNewMailTrayIcon = 711;
inline constexpr int kPopServer = 801;
inline constexpr int kPopProtocol = 802;
inline constexpr int kPopUser = 803;
inline constexpr int kPopPassword = 804;
inline constexpr int kMaxAttachmentSize = 805;
inline constexpr int kMaxMailSize = 806;
inline constexpr int kDeleteFromServer = 807;
inline constexpr int kPopPort = 809;
inline constexpr int kPopSendTimeout = 810;
inline constexpr int kPopReceiveTimeout = 811;
inline constexpr int kDeleteUnread = 813;
inline constexpr int kUseApop = 814;
inline constexpr int kUseUidl = 815;
inline constexpr int kKeepUnsavedOnServer = 816;
inline constexpr int kPopBeforeSmtp = 817;
inline constexpr int kPopBeforeSmtpWait = 818;
inline constexpr int kPopSecurity = 819;
inline constexpr int kSmtpSecurity = 820;
inline constexpr int kTrustedFingerprints = 821;
inline constexpr int kSmtpAuthMethod = 822;
inline constexpr int kSmtpUser = 823;
inline constexpr int kSmtpPassword = 824;
inline constexpr int kAllowPlainAuthInClear = 825;
inline constexpr int kPopAuthPlain = 826;
inline constexpr int kDialUpEntry = 901;
inline constexpr int kDialUpUser = 902;
inline constexpr int kDialUpPassword = 903;
inline constexpr int kDialUpDomain = 904;
inline constexpr int kDialUpConfirm = 905;
inline constexpr int kNoCheckWhileOffline = 907;
inline constexpr int kPgpPassphrase = 1003;
inline constexpr int kEnd = 9999;
}  // namespace item

}  // namespace zorvik::core
