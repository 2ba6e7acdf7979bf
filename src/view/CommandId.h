/// \file
/// The numbers of the main window's commands. Menus, tool bars, key
/// accelerators and the worker threads' requests all name a command by
/// these numbers, in both menu sets.
#pragma once

namespace zorvik::view::cmd {

// File
inline constexpr int kOpenSettings = 32700;
inline constexpr int kSaveAsText = 32701;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kNewCabinet = 32710;
inline constexpr int kNewTray = 32711;
inline constexpr int kRename = 32712;
inline constexpr int kDelete = 32713;
inline constexpr int kClearLinks = 32714;
inline constexpr int kGoUp = 32720;
inline constexpr int kGoToLinkSource = 32721;
inline constexpr int kGoToUnread = 32722;
inline constexpr int kHistoryBack = 32741;
inline constexpr int kHistoryForward = 32742;
inline constexpr int kGoToSelectedMark = 32750;
inline constexpr int kGoToMark1 = 32751;  // .. 32755
inline constexpr int kGoToMark5 = 32755;
inline constexpr int kNextRow = 32760;
inline constexpr int kPreviousRow = 32761;
inline constexpr int kImportTray = 32730;
inline constexpr int kReadTrayProperties = 32731;
inline constexpr int kProperties = 32732;
inline constexpr int kExportTray = 32733;
inline constexpr int kCompactTray = 32734;
inline constexpr int kAddToAddressBook = 32735;
inline constexpr int kBackupTray = 32786;
inline constexpr int kExit = 57665;

// Edit
inline constexpr int kFind = 32800;
inline constexpr int kFindNext = 32801;
inline constexpr int kFindAll = 32810;
inline constexpr int kCopyWholeMail = 32811;
inline constexpr int kRefinedFind = 32815;
inline constexpr int kStopFind = 32816;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAll = 57642;

// View
inline constexpr int kFirstToolBar = 32900;  // .. 32912, one per bar
inline constexpr int kFileBar = 32900;
inline constexpr int kEditBar = 32901;
inline constexpr int kMoveBar = 32902;
inline constexpr int kViewBar = 32903;
inline constexpr int kMailBar = 32904;
inline constexpr int kServerBar = 32905;
inline constexpr int kBriskoBar = 32912;
inline constexpr int kSearchBar = 32920;
inline constexpr int kMarkBar = 32921;
inline constexpr int kStatusBar = 59393;
inline constexpr int kEditToolBars = 32930;
inline constexpr int kReadOn = 32931;
inline constexpr int kOpenTextWindow = 32940;
inline constexpr int kShowSortingLog = 32941;
inline constexpr int kLargeIcons = 32950;
inline constexpr int kSmallIcons = 32951;
inline constexpr int kListMode = 32952;
inline constexpr int kDetails = 32953;
inline constexpr int kThreadDisplay = 32954;
inline constexpr int kRefresh = 32960;
inline constexpr int kSettingsSheet = 32961;

// Mail
inline constexpr int kNewMail = 33000;
inline constexpr int kReply = 33001;
inline constexpr int kReplyToSender = 33002;
inline constexpr int kForward = 33003;
inline constexpr int kSortIntoTrays = 33010;
inline constexpr int kExtractFiles = 33011;
inline constexpr int kMarkOpened = 33012;
inline constexpr int kMarkUnread = 33013;
inline constexpr int kUseReceiveDate = 33014;
inline constexpr int kSendReceive = 33020;
inline constexpr int kSend = 33021;
inline constexpr int kReceive = 33022;
inline constexpr int kHeaderReceive = 33023;
inline constexpr int kSendReceiveAll = 33024;
inline constexpr int kSetChosenMark = 33030;
inline constexpr int kClearMark = 33031;
inline constexpr int kSetMark1 = 33032;  // .. 33036
inline constexpr int kSetMark5 = 33036;
inline constexpr int kDeleteAttachments = 33050;
inline constexpr int kOpenedClearLinks = 33051;
inline constexpr int kServerMailProperties = 33052;
inline constexpr int kPgpDecrypt = 34008;

// Help
inline constexpr int kHelpContents = 57666;
inline constexpr int kHelpSearch = 57667;
inline constexpr int kAbout = 57664;
inline constexpr int kUpgradeTrays = 33101;
inline constexpr int kDebug = 33102;

// Reached from tool bars and the Brisko menus
inline constexpr int kAddressBook = 32780;
inline constexpr int kEmptyTrash = 32781;
inline constexpr int kSaveAttachments = 32782;
inline constexpr int kPrintSetup = 32783;
inline constexpr int kStartEditor = 32784;
inline constexpr int kImportOtherMailer = 32785;
inline constexpr int kSortingSettings = 241;
inline constexpr int kServerTrayProperties = 32736;
inline constexpr int kOffline = 33800;

}  // namespace zorvik::view::cmd
