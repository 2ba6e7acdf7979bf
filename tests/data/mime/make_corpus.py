"""Writes a corpus of received mails made with Python's email package, for
comparing Zorvik's MIME decoding with Python's reading of the same mails.

usage: make_corpus.py OUTDIR [COUNT] [SEED]

Each mail is OUTDIR/mail_NNN.eml in the form a POP3 server would send it
before dot-stuffing (CR LF line ends). The mails mix: Japanese text in
ISO-2022-JP, UTF-8, Shift_JIS and EUC-JP; 7bit, base64 and quoted-printable
bodies; encoded-word and RFC 2231 file names; multipart/alternative inside
multipart/mixed; attached mails; uuencoded and BinHex parts. A BinHex part
carries the SHA-256 of its data fork in an X-Test-Data-SHA256 header, since
Python's email cannot read BinHex."""
import binascii
import hashlib
import os
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


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 5)
    os.makedirs(out, exist_ok=True)
    for index in range(count):
        msg = make(rng, index)
        raw = msg.as_bytes(policy=policy.compat32.clone(linesep="\r\n"))
        with open(os.path.join(out, "mail_%03d.eml" % index), "wb") as f:
            f.write(raw)


main()
