"""Checks Zorvik's decoding of a mail corpus against Python's email package.

usage: check_corpus.py CORPUSDIR OUTDIR

For every CORPUSDIR/NAME.eml, Zorvik's test has written OUTDIR/NAME.txt (the
stored text, converted to UTF-8 as the tray holds it) and OUTDIR/NAME.dir
(the path of the mail's attachment folder, empty when there is none). Prints
one line per disagreement; prints nothing when everything agrees.

Agreement means: every text part Python reads (unnamed text, and named .txt
attachments, which are expanded into the text) appears in the stored text;
the saved files are exactly the other parts, by SHA-256 of their content
(Python's decoded payload; for BinHex the digest the corpus recorded); every
file name Python reads is among the saved names; and there is one reference
line per saved file."""
import email
import hashlib
import os
import sys
from collections import Counter
from email.header import decode_header, make_header


def normalized(text, quoted=False):
    lines = [line.rstrip() for line in text.replace("\r\n", "\n").split("\n")]
    if quoted:  # the stored text quotes lines that would look like a mail separator
        lines = [">" + line if line.startswith("From ") else line for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    while lines and not lines[0]:
        lines.pop(0)
    return "\n".join(lines)


def as_cp932_sees_it(text):
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


def expectations(msg):
    texts, files = [], []
    for part in msg.walk():
        if part.is_multipart():
            continue
        name = file_name(part)
        if part.get_content_maintype() == "text" and (name is None or name.lower().endswith(".txt")):
            charset = part.get_content_charset() or "us-ascii"
            texts.append(part.get_payload(decode=True).decode(charset))
            continue
        digest = part.get("X-Test-Data-SHA256")
        if digest is None:
            digest = hashlib.sha256(part.get_payload(decode=True)).hexdigest()
        digest = digest.strip()
        files.append((name, digest))
    return texts, files


def check(corpus, out, base):
    problems = []
    with open(os.path.join(corpus, base + ".eml"), "rb") as f:
        msg = email.message_from_bytes(f.read())
    with open(os.path.join(out, base + ".txt"), encoding="utf-8") as f:
        stored = f.read()
    with open(os.path.join(out, base + ".dir"), encoding="utf-8") as f:
        folder = f.read().strip()
    texts, files = expectations(msg)
    body = normalized("\n".join(line.rstrip() for line in stored.replace("\r\n", "\n").split("\n")))
    for text in texts:
        if normalized(as_cp932_sees_it(text), quoted=True) not in body:
            problems.append("%s: text part not stored: %r" % (base, normalized(text)[:80]))
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
    references = stored.count('@#MIME "%:')
    if references != len(saved):
        problems.append("%s: %d reference lines for %d files" % (base, references, len(saved)))
    return problems


def main():
    corpus, out = sys.argv[1], sys.argv[2]
    sys.stdout.reconfigure(encoding="utf-8")
    for entry in sorted(os.listdir(corpus)):
        if entry.endswith(".eml"):
            for problem in check(corpus, out, entry[:-4]):
                print(problem)


main()
