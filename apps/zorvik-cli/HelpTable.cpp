#include "HelpTable.h"

#include <algorithm>
#include <iterator>

namespace zorvik::cli {
namespace {

constexpr Help kHelp[] = {
    {"help", "Lists the commands, or explains one with an example.", "zorvik-cli help receive"},
    {"init", "Sets up a new account without the dialog of the desktop client: writes the settings file "
             "<account>.xm9 and builds the store beside it in D (default: the current folder). The account "
             "uses TLS on ports 995 and 465 with SMTP authentication, as the dialog proposes; --plain keeps "
             "plain POP3 on 110 and SMTP on 25. An existing account is kept unless --yes is given.",
     "zorvik-cli init --name '山田 太郎' --address taro@example.jp --password secret --dir ~/mail"},
    {"check", "The environment check of every start: builds what is missing of the store after asking, and "
              "moves mails that an interrupted receive left in the work file into the new-mail tray (--yes), "
              "or keeps them under a dated name (--no). Names on stderr every tray whose index is gone, for "
              "`rebuild`.",
     "zorvik-cli --settings ~/mail/taro.xm9 --yes check"},
    {"get", "Prints one settings item, by number or by its Japanese description. Passwords are shown plainly.",
     "zorvik-cli --settings ~/mail/taro.xm9 get 801"},
    {"set", "Changes one settings item. The value must fit the item's kind and range. A missing settings file "
            "is begun from the defaults.",
     "zorvik-cli --settings ~/mail/taro.xm9 set 809 995"},
    {"trays", "One line per cabinet or tray: kind, path, live mails, unread mails.", "zorvik-cli trays"},
    {"list", "One line per live mail of a tray: index, flags (hex), date, address, name, subject.",
     "zorvik-cli list 新着受信 | cut -f1,6"},
    {"show", "The stored text of one mail, or only its header or body.", "zorvik-cli show 新着受信 3 --body"},
    {"deliver", "Stores raw mails (as a POP3 server sends them) as a receive would: decoded, attachments saved, "
                "split mails joined, sorted when they go into the new-mail tray. Prints the new indices.",
     "zorvik-cli deliver ~/saved/*.eml"},
    {"receive", "Fetches new mail from the POP3 server into the new-mail tray and sorts it. Prints the index of "
                "every stored mail. Ctrl-C stops after the mail in hand, keeping what was fetched.",
     "zorvik-cli receive"},
    {"poll", "Logs in and counts: mails on the server, received before, not yet received, new.",
     "zorvik-cli poll"},
    {"server-headers", "Lists every server mail's header into the mail-server tray and prints the counters; "
                       "--clean also deletes on the server what was received before.",
     "zorvik-cli server-headers --clean"},
    {"server-fetch", "Receives the mails selected by their index in the mail-server tray, keeping them on the "
                     "server.",
     "zorvik-cli server-fetch 4 5"},
    {"server-delete", "Deletes the selected mails of the mail-server tray on the server (unread ones only when "
                      "item 813 allows it). Prints how many went.",
     "zorvik-cli server-delete 0 1"},
    {"send", "Sends the unsent tray and places the sent mails. With POP-before-SMTP (item 817) it logs in to "
             "the POP3 server first. Prints sent and unsent counts.",
     "zorvik-cli send"},
    {"sendrecv", "Sends and receives in the order the settings ask for.", "zorvik-cli sendrecv"},
    {"check-server", "Connects to the POP3 and the SMTP server as the settings say (TLS, STARTTLS), shows each "
                     "certificate (subject, issuer, validity, SHA-256 fingerprint) and what the server announces, "
                     "and logs in; nothing is fetched, deleted or sent. A refused certificate is shown too, so its "
                     "fingerprint can be compared and trusted (item 821).",
     "zorvik-cli check-server --receive"},
    {"compose", "Stores a draft in the unsent tray, as the compose window's send button does. With --reply, "
                "--reply-all, --forward or --add it prepares the reply, forward or addition for mails of a tray "
                "from the tray's template, quote prefix and signature, adds the text of --body-file after it and the files of --attach, "
                "opens $VISUAL or $EDITOR with --edit, prints the draft and stores it (--keep: in the drafts "
                "tray). --check stores nothing and lists every character that will not arrive as written "
                "(line, column, character, replaced / windows-only / half-width-kana).",
     "zorvik-cli --yes compose --reply 新着受信 3 --body-file answer.txt"},
    {"draft", "Takes a draft kept in the drafts tray (or an unsent mail) up again, --edit opens it in $VISUAL or "
              "$EDITOR, and stores it through the send checks into the unsent tray (--keep: the drafts tray); "
              "the old draft goes to the trash. Prints the new index.",
     "zorvik-cli draft 送信原稿 0 --edit"},
    {"extract", "Saves the uuencoded and base64 files kept as text in a mail into its attachment folder and "
                "puts reference lines in their places; the old mail goes to the trash. Prints the new index "
                "and each file.",
     "zorvik-cli extract 新着受信 3"},
    {"strip-attachments", "Replaces the attachments of mails by notes; the files stay with the old mails in the "
                          "trash. Mails you sent are left alone. Prints each index, the new index and how many "
                          "attachments went.",
     "zorvik-cli strip-attachments 新着受信 3 4"},
    {"sort", "Sorts a tray (or one mail of it) by the trays' rules; --auto sorts the new-mail tray as after a "
             "receive.",
     "zorvik-cli --yes sort 新着受信"},
    {"test-rule", "Tests one tray's sorting rule on one mail: TRUE or FALSE, the reason, the rule's error code.",
     "zorvik-cli test-rule 仕事 新着受信 0"},
    {"log", "Shows the end of the sorting log; --clear moves it into the older generations.", "zorvik-cli log"},
    {"search", "Searches the store (or a cabinet, or one tray) as the search bar does and prints every hit: "
               "tray, index, header or body, and the line. Without --headers or --body both are searched; letter "
               "case is ignored unless --case; --width and --kana make ＡＢＣ find ABC and ひらがな find カタカナ. "
               "The refined conditions (--from, --subject, --header, --in-body, --since, ...) narrow the mails, "
               "with or without a TEXT; --collect links every mail found into the search-results tray instead.",
     "zorvik-cli search --cabinet 仕事 --since 2026-12-01 --from tanaka 見積"},
    {"next-unread", "Prints the next unread mail of the store: from its start, from TRAY on, or after mail INDEX "
                    "of TRAY, in the order the tree lists the trays. Nothing when every mail is read.",
     "zorvik-cli next-unread 新着受信 3"},
    {"mkcab", "Creates a cabinet (its parent must exist), or with --in one with a free name.",
     "zorvik-cli mkcab 仕事/2026"},
    {"mktray", "Creates a tray (its cabinet must exist), or with --in one with a free name.",
     "zorvik-cli mktray 仕事/会議"},
    {"rename", "Renames a cabinet or tray in place; links to its mails follow.", "zorvik-cli rename 仕事/会議 打合せ"},
    {"rm", "Deletes a cabinet or tray by the tree's rules, or mails of a tray (to the trash, or --for-good).",
     "zorvik-cli rm 新着受信 3 4"},
    {"copy", "Copies mails into another tray; prints each index and its index there.",
     "zorvik-cli copy 新着受信 3 仕事"},
    {"move", "Moves mails into another tray; prints each index and its index there.",
     "zorvik-cli move 新着受信 3 仕事"},
    {"link", "Leaves a link to each mail in another tray.", "zorvik-cli link 新着受信 3 重要"},
    {"mvtray", "Moves a tray or cabinet into another cabinet.", "zorvik-cli mvtray 仕事/会議 /"},
    {"mark", "Sets a mail's mark (0 none, 1-5).", "zorvik-cli mark 新着受信 3 1"},
    {"read", "Marks mails read (the whole tray without indices).", "zorvik-cli read 新着受信"},
    {"unread", "Marks mails unread (the whole tray without indices).", "zorvik-cli unread 新着受信 3"},
    {"compact", "Removes deleted mails from a tray's files.", "zorvik-cli compact 新着受信"},
    {"rebuild", "Makes a tray's index anew from its text file, for an index that was lost or damaged: every "
                "mail the text holds comes back, with its read state and mark where the old index still tells "
                "them, and links to it follow. A tray whose index is missing is accepted; `check` names such "
                "trays.",
     "zorvik-cli rebuild 仕事/会議"},
    {"empty-trash", "Empties the trash.", "zorvik-cli empty-trash"},
    {"clean-attachments", "Lists attachment folders no mail refers to; --yes removes them.",
     "zorvik-cli --yes clean-attachments"},
    {"prop", "Shows or changes one tray property (items 1002-1026).", "zorvik-cli prop ML/ruby 1005 ruby-list"},
    {"flags", "Shows or changes a tray's flags by name.", "zorvik-cli flags ML/python +leave-link"},
    {"export-tree", "Writes the cabinets and trays below CABINET, with their properties, to a tree file.",
     "zorvik-cli export-tree / tree.XM7"},
    {"import-tree", "Creates the cabinets and trays a tree file lists.", "zorvik-cli import-tree tree.XM7"},
    {"backup", "Copies trays into DIR for the chosen period; --delete empties what was copied, --compact "
               "compacts it. Prints how many mails were copied.",
     "zorvik-cli backup /media/usb/zorvik --period 2"},
    {"merge", "Takes the trays of an outside tree into the store.", "zorvik-cli merge /media/usb/zorvik"},
    {"export", "Copies trays to an outside tree; --remove removes what was exported.",
     "zorvik-cli export 仕事 /tmp/export --period 0"},
    {"import", "Takes another mail program's mailbox into a tray (emptied after asking), or every mailbox of a "
               "folder with the chosen file's extension into a cabinet, one tray per file. K: mbox, msmail, becky, "
               "almail16, maildir, eml (or the dialog's number 0-9); P: 0 all, 1 a month, 2 three months, 3 half a "
               "year, 4 a year. Prints per file: tray, mails stored, left out by the period, files unreadable.",
     "zorvik-cli import --kind becky ~/Becky/Mailbox/Inbox/in.mbx 受信/Becky"},
    {"abook", "The address book (addressbook.vcf in the store root), used while item 116 is on: list, find what "
              "completion would offer, add an entry or a tray's send groups, remove, import and export vCard "
              "files (vCard 2.1, 3.0 and 4.0 read; 3.0 written).",
     "zorvik-cli abook import ~/contacts.vcf"},
    {"dial", "Brings the dial-up connection of item 901 up through NetworkManager and leaves it up; prints "
             "dialled, or connected when it was up already.",
     "zorvik-cli dial"},
    {"hangup", "Brings the dial-up connection of item 901 down.", "zorvik-cli hangup"},
};

}  // namespace

const Help* helpOf(std::string_view command) {
  const auto* found = std::find_if(std::begin(kHelp), std::end(kHelp),
                                   [command](const Help& help) { return help.command == command; });
  return found == std::end(kHelp) ? nullptr : found;
}

}  // namespace zorvik::cli
