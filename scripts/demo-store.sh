#!/usr/bin/env bash
# Builds a demo account and store with zorvik-cli from sample mails written
# here: cabinets and trays, a sorting keyword, Japanese senders and subjects,
# a thread whose reply arrives before its parent, an attachment, half-width
# katakana, marks, read and unread mails and a link. The screenshots and the
# desktop client's tests start from it.
#
#   scripts/demo-store.sh ZORVIK_CLI DIR    prints the settings file's path
set -euo pipefail

cli=$1
dir=$2
mkdir -p "$dir/mails" "$dir/home"
# A first start leaves a launcher on the desktop: keep it in the demo folder.
export HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_DATA_HOME="$dir/home/.local/share"

settings=$("$cli" init --plain --name "山田太郎" --address "taro@example.jp" --password secret --dir "$dir" | head -1)
z() { "$cli" --settings "$settings" --yes "$@" >/dev/null; }

z mkcab 仕事
z mktray 仕事/会議
z mktray 仕事/週報
z mkcab 趣味
z mktray 趣味/写真
z mktray 友人
z prop 仕事/会議 1005 会議
z prop 仕事/週報 1005 週報

# An encoded word, so that the headers stay 7-bit as mail must.
ew() { printf '=?UTF-8?B?%s?=' "$(printf '%s' "$1" | base64 -w0)"; }

n=0
# mail FROM-NAME FROM-ADDRESS SUBJECT DATE ID IN-REPLY-TO BODY [ATTACHMENT-NAME]
mail() {
  n=$((n + 1))
  local file="$dir/mails/$(printf '%02d' "$n").eml"
  {
    printf 'From: %s <%s>\n' "$(ew "$1")" "$2"
    printf 'To: %s <taro@example.jp>\n' "$(ew "山田太郎")"
    printf 'Subject: %s\n' "$(ew "$3")"
    printf 'Date: %s\n' "$4"
    printf 'Message-ID: <%s@example.jp>\n' "$5"
    [ -n "$6" ] && printf 'In-Reply-To: <%s@example.jp>\n' "$6"
    printf 'MIME-Version: 1.0\n'
    if [ -n "${8:-}" ]; then
      printf 'Content-Type: multipart/mixed; boundary="b0"\n\n--b0\n'
      printf 'Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n%s\n' "$7"
      printf -- '--b0\nContent-Type: image/png; name="%s"\nContent-Transfer-Encoding: base64\n\n' "$(ew "$8")"
      printf 'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==\n'
      printf -- '--b0--\n'
    else
      printf 'Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: 8bit\n\n%s\n' "$7"
    fi
  } >"$file"
}

mail "佐藤花子" hanako@example.jp "[会議] 来週の定例会議について" "Mon, 30 Nov 2026 09:12:00 +0900" m1 "" \
  "山田さん

来週の定例会議は12月7日(月)10時〜12時、第2会議室です。
議題があればご連絡ください。

佐藤"
mail "鈴木一郎" ichiro@example.jp "Re: Re: [会議] 来週の定例会議について" "Tue, 01 Dec 2026 18:40:00 +0900" m3 m2 \
  "佐藤さん、山田さん

資料は前日までに共有します。"
mail "山田太郎" taro@example.jp "Re: [会議] 来週の定例会議について" "Tue, 01 Dec 2026 10:05:00 +0900" m2 m1 \
  "佐藤さん

了解しました。予算の件を議題に追加してください。"
mail "田中次郎" jiro@example.jp "[週報] 12月第1週" "Fri, 04 Dec 2026 17:30:00 +0900" w1 "" \
  "今週の作業：
・顧客向け資料の作成
・テスト環境の整備"
mail "高橋美咲" misaki@example.jp "写真を送ります" "Sat, 05 Dec 2026 21:03:00 +0900" p1 "" \
  "先日の旅行の写真です。" "京都.png"
mail "ﾆｭｰｽﾚﾀｰ" news@example.com "ﾒｰﾙﾏｶﾞｼﾞﾝ 第100号" "Sun, 06 Dec 2026 07:00:00 +0900" n1 "" \
  "今週のおすすめ記事をお届けします。"
mail "John Smith" john@example.com "Meeting notes" "Sun, 06 Dec 2026 23:15:00 +0000" e1 "" \
  "Hi Taro,
please find the notes below."
mail "伊藤さくら" sakura@example.jp "忘年会のお知らせ" "Mon, 07 Dec 2026 12:00:00 +0900" f1 "" \
  "今年の忘年会は12月25日です。"
mail "伊藤さくら" sakura@example.jp "Re: 忘年会のお知らせ（場所）" "Mon, 07 Dec 2026 12:30:00 +0900" f2 f1 \
  "場所は駅前の店に決まりました。"

z deliver "$dir"/mails/*.eml
# Some read, some marked, one linked into another tray (the keyword sorted
# the meeting thread into 仕事/会議 and the weekly report into 仕事/週報).
z read 新着受信 4 6
z read 仕事/会議 0
z mark 新着受信 5 2
z mark 仕事/会議 1 1
z link 新着受信 7 友人
printf '%s\n' "$settings"
