#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

Page files come from the page maker (its path is the first argument, e.g.
build/<dir>/bin/pagemaker), language files from the reader's own hand-made fixtures, responses
and profiles are written here by hand. The page targets frame their inputs as their harnesses
read them: each page but the last behind a 16-bit little-endian length. Run again after a
framing change; the outputs are committed.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, content):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(content)


def frame(pages):
    out = b""
    for page in pages[:-1]:
        out += struct.pack("<H", len(page)) + page
    return out + pages[-1]


def page(pagemaker, kind, *options):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "page")
        subprocess.run([pagemaker, kind, path, "--dpi", "12", *options], check=True,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        with open(path, "rb") as data:
            return data.read()


def main():
    pagemaker = sys.argv[1]
    big = page(pagemaker, "tiff", "--title", "A")
    little = page(pagemaker, "tiff", "--title", "B", "--little-endian")
    second = page(pagemaker, "tiff", "--pattern", "7")
    jpeg = page(pagemaker, "jpeg", "--title", "C")
    jpeg2 = page(pagemaker, "jpeg", "--pattern", "3")

    write("reducetiff", "big-endian.tif", big)
    write("reducetiff", "little-endian.tif", little)

    write("multitiff", "one-page", bytes([0]) + big)
    write("multitiff", "two-pages", bytes([1]) + frame([big, second]))
    write("multitiff", "three-pages", bytes([2]) + frame([big, second, big]))
    write("multitiff", "little-endian-second", bytes([1]) + frame([big, little]))

    info = struct.pack("<iiii", 99, 140, 12, 12)
    write("pdfencode", "colour-two", bytes([2]) + info + frame([jpeg, jpeg2]))
    write("pdfencode", "mono-three", bytes([5]) + info + frame([big, second, little]))
    write("pdfencode", "no-resolution", bytes([0]) + struct.pack("<iiii", 99, 140, 0, 12) + jpeg)

    os.makedirs(os.path.join(CORPUS, "languagefile"), exist_ok=True)
    for name in ("valid.lrc", "header_only.lrc", "unknown_charset.lrc", "one_byte_longer.lrc"):
        shutil.copy(os.path.join(HERE, "..", "texts", "fixtures", name),
                    os.path.join(CORPUS, "languagefile", name))

    write("profile", "settings.ini",
          b"[MFPInfo]\r\nmachineName=Velnor MFP\r\nIPv4Address=127.0.0.1\r\nisUSB=0\r\n"
          b"httpPortNumber=80\r\n\r\n[SettingInfo]\r\nColorFormat=1\r\nDeleteFile=0\r\n"
          b"[PasswordInfo]\r\npassword=\"12 4\"\r\n")
    write("profile", "bom-no-newline.ini",
          b"\xef\xbb\xbf; comment\n[settinginfo]\n  deletefile = 7 \nother line\n[MFPInfo]\nmachineName=x")
    write("profile", "empty.ini", b"")

    write("xmlwalk", "boxes.xml",
          b"<JOB><CODE>600</CODE><ROOTNAME>Velnor MFP</ROOTNAME>"
          b"<FOLDER><FOLDERID>1</FOLDERID><FOLDERNAME>Scans</FOLDERNAME><ATTRIBUTE>1</ATTRIBUTE></FOLDER>"
          b"<FOLDER><FOLDERID>3</FOLDERID><FOLDERNAME>Finance \xe6\x9b\xb8\xe9\xa1\x9e \xf0\x9f\x93\x81</FOLDERNAME>"
          b"<ATTRIBUTE>17</ATTRIBUTE></FOLDER></JOB>")
    write("xmlwalk", "documents.xml",
          b"<?xml version=\"1.0\" encoding=\"UTF-8\"?><JOB><CODE>600</CODE>"
          b"<FILE><FOLDERID>1</FOLDERID><FOLDERNAME>Scans</FOLDERNAME><FILEID>107251</FILEID>"
          b"<FILENAME>0001</FILENAME><TIMESTAMP>2012/03/01 10:00:00</TIMESTAMP><PAGES>3</PAGES>"
          b"<IMAGEFORMAT>1</IMAGEFORMAT><ATTRIBUTE>0</ATTRIBUTE></FILE>"
          b"<FILE><FILEID>43</FILEID><FILENAME>0002</FILENAME><TIMESTAMP>2011/12/31 23:59:59</TIMESTAMP>"
          b"<PAGES>1</PAGES><IMAGEFORMAT>0</IMAGEFORMAT></FILE></JOB>")
    write("xmlwalk", "imageinfo.xml",
          b"<JOB><CODE>600</CODE><XPIXEL>2480</XPIXEL><YPIXEL>3508</YPIXEL>"
          b"<XRESOLUTION>300</XRESOLUTION><YRESOLUTION>300</YRESOLUTION></JOB>")
    write("xmlwalk", "refused.xml", b"<JOB><CODE>808</CODE></JOB>")
    write("xmlwalk", "data.xml", b"<JOB><CODE>603</CODE><DATASIZE>65536</DATASIZE></JOB>")


if __name__ == "__main__":
    main()
