#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ from the fixtures and a few
typical inputs. Run it again after changing a target's input layout (its leading choice bytes)."""
import gzip
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "fixtures")


def fixture(*parts):
    with open(os.path.join(FIXTURES, *parts), "rb") as f:
        return f.read()


def handover(name, text):
    """A hand-over message: two reply idents, the lengths in characters, then UTF-16 text."""
    n, t = name.encode("utf-16-le"), text.encode("utf-16-le")
    return struct.pack("<IIII", 20260613, 21, len(n) // 2, len(t) // 2) + n + t


def request(message, wparam, payload):
    return struct.pack("<IIqII", 0x3250524F, message, wparam, len(payload), 0) + payload


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for i, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % i), "wb") as f:
            f.write(seed)


def main():
    widths = gzip.decompress(fixture("widths", "widths.synctex.gz"))
    multi = gzip.decompress(fixture("multi", "multi.synctex.gz"))
    # Choice bytes: line, page, x and y of the searches.
    write("synctex", [b"\x0c\x01\x40\x30" + widths, b"\x14\x02\x20\x50" + multi[:16000]])

    data = open(os.path.join(HERE, "seeds", "OrvalePDF.dat"), "rb").read()
    content = data[: data.index(b"\n\n<<EOF>>") + 1]
    write("datafile", [b"\x00" + data, b"\x01" + content])

    write("cmdtext", [
        "-forward-search\nchap 1.tex\n12\n/tmp/my thesis.pdf\n".encode() + b"\0--synctex-forward\0" +
        b"12:3:chap1.tex\0thesis.pdf",
        "-page\n3\n-zoom\nfit width\n%b/x.pdf\n-inverse-search\nvim +%l \"%f\"\n-nope\n".encode() +
        b"\0--unique\0file:thesis.pdf#src:12chap1.tex",
        "-named-dest\nsec:intro\n-reuse-instance\nx.pdf\n-presentation\ny.pdf\n".encode() +
        b"\0-x\0nvim --server /tmp/s --remote %{input}\0--synctex-forward=3::a.tex\0a.pdf",
    ])

    message = handover("/tmp/x", "-forward-search\nmain.tex\n7\n/tmp/main.pdf\n")
    write("handover", [message, handover("", "")])
    write("linkframes", [b"\x10\x05" + request(1147, 0, b"") + request(1145, 1, message),
                         b"\x01\x20" + request(1145, -1, message[:20])])

    write("cmdsplit", [
        b"\x0c" + 'Orvale.exe "[Open(|%f|);SelPar(%l,8);]"'.encode() + b"\0/tmp/a \"b\".tex",
        b"\x05" + 'emacsclient +%l "%f"'.encode() + b"\0/tmp/\xc3\xa9t\xc3\xa9\\x.tex",
        b"\x02" + b'"C:\\Program Files\\ed.exe" -l %l \\"%f\\" %%B %!b' + b"\0a\nb.tex",
    ])

    write("pagerange", [b"\x00\x10" + b"1-3, 5,7 -9", b"\x01\x00" + b"\x01 12 - 4 ,,", b"\x00\x02" + b"0-99999999999"])

    toolbar = b"".join(line + b"\r\n" for line in [
        b"; =====", b"9 FileList", b"9 Open", b"|", b"6A OpenAdobe", b";5 SendMail", b"9 PageLabel \" Page: \" \"Page:\"",
        b"9 PageGoto Selector \"  9999  \"", b"9 PageCount \"  (9999/9999)  \"", b"|", b"|", b"3S Search", b"9 Nothing"])
    write("toolbar", [b"\x01\x00" + toolbar, b"\x00\x01" + b"0\n1 \"\n2 Back \"a\" \"b\" \"c\"\r\r\n"])

    colors = open(os.path.join(HERE, "seeds", "colors.txt"), "rb").read()
    write("colortext", [colors, colors[: len(colors) // 2] + b"#12345 TitleBarBk\r\n> 101 BorderWidth\r\n"])

    xmp = [fixture("pdfium", "xmp.pdf.in"), fixture("pdfium", "xmp-broken.pdf"), fixture("pdfium", "xmp-unended.pdf")]
    write("xmp", [x[x.find(b"<?xpacket"):] if b"<?xpacket" in x else x for x in xmp])


if __name__ == "__main__":
    main()
