"""Decodes every header value of a sample file with Python's email.header and
prints one result per line as UTF-8, for comparison with Zorvik's decoder.

Characters that code page 932 cannot hold are printed as the geta mark, the
replacement Zorvik's Shift_JIS text carries for them."""
import sys
from email.header import decode_header, make_header


def as_cp932_sees_it(text):
    shown = []
    for char in text:
        try:
            char.encode("cp932")
            shown.append(char)
        except UnicodeEncodeError:
            shown.append("\u3013")
    return "".join(shown)


sys.stdout.reconfigure(encoding="utf-8", newline="\n")
with open(sys.argv[1], encoding="ascii", newline="\n") as samples:
    for line in samples:
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        print(as_cp932_sees_it(str(make_header(decode_header(line)))))
