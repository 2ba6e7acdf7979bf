"""Checks Zorvik's decoding of a mail corpus against Python's email package.

usage: check_corpus.py CORPUSDIR OUTDIR

For every CORPUSDIR/NAME.eml, Zorvik's test has delivered the mail and
written OUTDIR/NAME.txt (the stored lines, header and body, converted to
UTF-8 as the tray holds them), OUTDIR/NAME.dir (the path of the mail's
attachment folder, empty when there is none) and OUTDIR/NAME.rec (three
lines from the mail's record: Subject, From address, From name). Prints one
line per disagreement; prints nothing when everything agrees.

Agreement means:
- every text part Python reads appears in the stored text: text/plain and
  text/enriched parts, named .txt files whose bytes are text (they are
  expanded into the text), and the body of a multipart whose boundary is
  missing or never comes;
- a nameless HTML part that no alternative offers as text is readable too:
  every run of text Python's HTML parser finds in it appears in the stored
  text;
- the saved files are exactly the other parts, by SHA-256 of their content
  (Python's decoded payload; for BinHex the digest the corpus recorded);
  every file name Python reads is among the saved names; there is one
  reference line per saved file;
- the record's Subject and sender are what Python reads from the header
  (white space runs counted as one blank).
Stored lines beginning with "From " or "@#" carry ">" in front."""
import email
import hashlib
import html.parser
import os
import re
import sys
from collections import Counter
from email import policy
from email.header import decode_header, make_header

CODECS = {"shift_jis": "cp932", "x-sjis": "cp932", "sjis": "cp932", "iso-2022-jp": "iso2022_jp_ext"}
QUOTED_STARTS = ("From ", "@#")


def collapsed(text):
    return re.sub("[ \t\r\n\f\v]+", " ", text).strip()


def normalized(text, quoted=False):
    lines = [line.rstrip() for line in text.replace("\r\n", "\n").split("\n")]
    if quoted:
        lines = [">" + line if line.startswith(QUOTED_STARTS) else line for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    while lines and not lines[0]:
        lines.pop(0)
    return "\n".join(lines)


def as_cp932_sees_it(text):
    # Code page 932 as Windows (and iconv) have it writes the yen sign and
    # the overline with the bytes of backslash and tilde.
    text = text.replace("\u00a5", "\\").replace("\u203e", "~")
    shown = []
    for char in text:
        try:
            char.encode("cp932")
            shown.append(char)
        except UnicodeEncodeError:
            shown.append("\u3013")
    return "".join(shown)


def file_name(part):
    name = part.get_filename()
    if name is None:
        return None
    return str(make_header(decode_header(name)))


def decoded_text(part):
    # A file that is text only by its name is read as a Japanese PC wrote it.
    default = "us-ascii" if part.get_content_maintype() == "text" else "shift_jis"
    charset = (part.get_content_charset() or default).lower()
    return part.get_payload(decode=True).decode(CODECS.get(charset, charset), errors="replace")


def looks_like_text(data):
    return not any(byte < 0x20 and byte not in b"\t\r\n\f\x1b" or byte == 0x7F for byte in data)


class HtmlRuns(html.parser.HTMLParser):
    """The runs of text a reader of the page sees."""
    HIDDEN = {"script", "style", "head", "title", "template"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.hidden = 0
        self.runs = []

    def handle_starttag(self, tag, attrs):
        if tag in self.HIDDEN:
            self.hidden += 1

    def handle_endtag(self, tag):
        if tag in self.HIDDEN and self.hidden:
            self.hidden -= 1

    def handle_data(self, data):
        text = collapsed(re.sub("[\u00a0\u2002-\u2009]", " ", re.sub("[\u00ad\u034f\u200a-\u200f\u2060\ufeff]", "", data)))
        if text and not self.hidden:
            self.runs.append(text)


def html_runs(part):
    payload = part.get_payload(decode=True)
    charset = part.get_content_charset()
    if charset is None:
        declared = re.search(rb'charset="?([-\w]+)', payload)
        charset = declared.group(1).decode("ascii").lower() if declared else "utf-8"
    parser = HtmlRuns()
    parser.feed(payload.decode(CODECS.get(charset, charset), errors="replace"))
    return parser.runs


def has_text(part):
    for leaf in part.walk():
        if not leaf.is_multipart() and leaf.get_content_type() == "text/plain" and leaf.get_payload(decode=True).strip():
            return True
    return False


def expectations(msg):
    texts, files, renderings = [], [], []

    def visit(part, alternatives):
        if part.is_multipart():
            inner = alternatives + [part] if part.get_content_type() == "multipart/alternative" else alternatives
            for child in part.get_payload():
                visit(child, inner)
            return
        kind = part.get_content_type()
        name = file_name(part)
        payload = part.get_payload(decode=True)
        if part.get_content_maintype() == "multipart":  # no usable boundary: the body is text
            texts.append(part.get_payload())
            return
        if kind in ("text/plain", "text/enriched") or (name and name.lower().endswith(".txt") and looks_like_text(payload)):
            texts.append(decoded_text(part))
            return
        digest = part.get("X-Test-Data-SHA256")
        files.append((name, digest.strip() if digest else hashlib.sha256(payload).hexdigest()))
        if kind == "text/html" and name is None and not any(has_text(alternative) for alternative in alternatives):
            renderings.append(html_runs(part))

    visit(msg, [])
    return texts, files, renderings


def check_record(base, record, path):
    with open(path, "rb") as f:
        msg = email.message_from_bytes(f.read(), policy=policy.default)
    problems = []
    subject, address, name = (record + ["", "", ""])[:3]
    expected = collapsed(as_cp932_sees_it(str(msg["subject"] or "")))
    if collapsed(subject) != expected:
        problems.append("%s: subject %r, Python reads %r" % (base, subject, expected))
    sender = msg["from"].addresses[0]
    shown = sender.display_name or sender.username  # the list shows the local part of a nameless sender
    if address != sender.addr_spec or collapsed(name) != collapsed(as_cp932_sees_it(shown)):
        problems.append("%s: sender %r %r, Python reads %r %r" % (base, address, name, sender.addr_spec, shown))
    return problems


def check(corpus, out, base):
    problems = []
    path = os.path.join(corpus, base + ".eml")
    with open(path, "rb") as f:
        msg = email.message_from_bytes(f.read())
    with open(os.path.join(out, base + ".txt"), encoding="utf-8") as f:
        stored = f.read()
    with open(os.path.join(out, base + ".dir"), encoding="utf-8") as f:
        folder = f.read().strip()
    with open(os.path.join(out, base + ".rec"), encoding="utf-8") as f:
        record = f.read().split("\n")
    texts, files, renderings = expectations(msg)
    body = normalized(stored)
    for text in texts:
        if normalized(as_cp932_sees_it(text), quoted=True) not in body:
            problems.append("%s: text part not stored: %r" % (base, normalized(text)[:80]))
    flat = collapsed(body)
    for runs in renderings:
        for run in runs:
            if collapsed(as_cp932_sees_it(run)) not in flat:
                problems.append("%s: HTML text not stored: %r" % (base, run[:80]))
    saved = {}
    if folder:
        for entry in sorted(os.listdir(folder)):
            with open(os.path.join(folder, entry), "rb") as f:
                saved[entry] = hashlib.sha256(f.read()).hexdigest()
    if Counter(saved.values()) != Counter(digest for _, digest in files):
        problems.append("%s: saved files %s, Python has %s" % (base, sorted(saved.items()), files))
    for name, _ in files:
        if name is not None and name not in saved:
            problems.append("%s: no file named %r among %s" % (base, name, sorted(saved)))
    references = sum(1 for line in stored.split("\n") if line.startswith('@#MIME "%:'))
    if references != len(saved):
        problems.append("%s: %d reference lines for %d files" % (base, references, len(saved)))
    tags = [line for line in stored.split("\n") if line.startswith("@#") and not line.startswith('@#MIME "%:')]
    if tags:
        problems.append("%s: received lines stored as tag commands: %r" % (base, tags))
    return problems + check_record(base, record, path)


def main():
    corpus, out = sys.argv[1], sys.argv[2]
    sys.stdout.reconfigure(encoding="utf-8")
    for entry in sorted(os.listdir(corpus)):
        if entry.endswith(".eml"):
            for problem in check(corpus, out, entry[:-4]):
                print(problem)


main()
