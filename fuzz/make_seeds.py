#!/usr/bin/env python3
"""Writes a small seed corpus of tag shapes for the tag fuzz targets into the
folder given: version 1 trailers, version 2, 3 and 4 tags with
unsynchronisation, extended headers, compressed frames, footers, plain sizes
and padding."""
import os
import sys
import zlib


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def plain(n, width=4):
    return n.to_bytes(width, "big")


def frame(fid, data, version=3, flags=0, plain_size=False):
    size = plain(len(data)) if version == 3 or plain_size else syncsafe(len(data))
    return fid + size + plain(flags, 2) + data


def frame22(fid, data):
    return fid + plain(len(data), 3) + data


def text(t, enc=0):
    return bytes([enc]) + (t.encode("latin-1") if enc == 0 else t.encode("utf-16") if enc == 1 else t.encode("utf-8"))


def header(version, size_field, flags=0):
    return b"ID3" + bytes([version, 0, flags]) + size_field


def tag(version, body, padding=0, flags=0):
    return header(version, syncsafe(len(body) + padding), flags) + body + bytes(padding)


def unsync(data):
    out = bytearray()
    for i, b in enumerate(data):
        out.append(b)
        if b == 0xFF and (i + 1 == len(data) or data[i + 1] & 0xE0 == 0xE0 or data[i + 1] == 0):
            out.append(0)
    return bytes(out)


def v1(title=b"Title", artist=b"Artist"):
    return b"TAG" + title.ljust(30) + artist.ljust(30) + b"Album".ljust(30) + b"1999" + b"Comment".ljust(28) + b"\0\x03\x11"


common3 = (frame(b"TIT2", text("Title")) + frame(b"TPE1", text("Artist", 1))
           + frame(b"COMM", b"\0eng\0Comment") + frame(b"COMM", b"\0engiTunNORM\0 0000 0001")
           + frame(b"APIC", b"\0image/png\0\x03\0\x89PNG\xff\xfb\x90\x44") + frame(b"PRIV", b"owner\0\x01\x02")
           + frame(b"TXXX", b"\0key\0value") + frame(b"USLT", b"\0eng\0Lyrics"))
common4 = b"".join(frame(i, d, 4) for i, d in [
    (b"TIT2", text("Title", 3)), (b"TPE1", text("Artist", 2)), (b"TDRC", text("2024-05-01")),
    (b"COMM", b"\3eng\0Comment"), (b"TXXX", b"\0" + b"k" * 200 + b"\0" + b"v" * 97)])
compressed = zlib.compress(text("Compressed title"))

seeds = {
    "v1_only": v1(),
    "v22": tag(2, frame22(b"TT2", text("Two")) + frame22(b"TP1", text("Artist"))
               + frame22(b"PIC", b"\0JPG\x03\0\xff\xd8") + frame22(b"COM", b"\0engd\0Note"), 32),
    "v22_compressed_flag": tag(2, frame22(b"TT2", text("Two")), 0, 0x40),
    "v22_sort_and_volume": tag(2, frame22(b"TCP", text("1")) + frame22(b"TST", text("Sort")) + frame22(b"TS2", text("B"))
                               + frame22(b"RVA", b"\x03\x10\x01\x00\x00\x80\x7f\xff\x7f\xff")
                               + frame22(b"LNK", b"TT2http://l/\0") + frame22(b"LNK", b"XYZhttp://l/\0")
                               + frame22(b"CRM", b"owner\0why\0\x01"), 8),
    "v23_two_links": tag(3, frame(b"WXXX", b"\0userUrl\0http://user/") + frame(b"WXXX", b"\1\xff\xfe\0\0http://x/")),
    "v24_bare_genre": tag(4, frame(b"TCON", b"\x0313\0Mix\0RX", 4) + frame(b"TIT2", text("T", 3), 4)),
    "v23_plain": tag(3, common3, 64),
    "v23_unsync": header(3, syncsafe(len(unsync(common3)) + 16), 0x80) + unsync(common3) + bytes(16),
    "v23_extended_header": tag(3, plain(6) + b"\0\0" + plain(16) + common3, 16, 0x40),
    "v23_compressed_frame": tag(3, frame(b"TIT2", plain(len(text("Compressed title"))) + compressed, 3, 0x0080)
                                + frame(b"TPE1", text("A")), 8),
    "v23_last_frame_too_long": header(3, syncsafe(len(common3))) + common3[:-2] + b"xx",
    "v23_legacy_plain_size": header(3, plain(2048)) + common3 + bytes(2048 - 10 - len(common3)),
    "v23_legacy_not_syncsafe": header(3, plain(0x8000)) + common3 + bytes(0x8000 - 10 - len(common3)),
    "v24": tag(4, common4, 40),
    "v24_footer": header(4, syncsafe(len(common4)), 0x10) + common4 + b"3DI\x04\0\x10" + syncsafe(len(common4)),
    "v24_unsync_dli": tag(4, frame(b"TIT2", syncsafe(6) + unsync(b"\0T\xff\xe0st"), 4, 0x0003)
                          + frame(b"TPE1", text("A"), 4), 10),
    "v24_extended_header": tag(4, syncsafe(6) + b"\x01\0" + common4, 10, 0x40),
    "v24_extended_flag_without_header": tag(4, common4, 10, 0x40),
    "v24_plain_frame_sizes": tag(4, b"".join(frame(i, d, 4, plain_size=True) for i, d in [
        (b"TIT2", text("Title")), (b"TXXX", b"\0" + b"d" * 150 + b"\0" + b"v" * 149),
        (b"TPE1", text("Artist")), (b"TALB", text("Album"))]), 20),
    # A size field that is no sync-safe number (its last byte has the top bit set).
    "v24_plain_tag_size": header(4, plain((len(common4) + 200) | 0x80), 0x40) + common4
    + bytes(((len(common4) + 200) | 0x80) - len(common4)),
    "tit2_past_the_end": header(3, syncsafe(648)) + frame(b"TIT2", text("x" * 999))[:648],
    "tag_after_junk": b"\x11" * 50 + tag(3, common3),
    "v23_with_v1": tag(3, common3, 8) + v1(),
    "v23_claims_past_the_end_with_v1": header(3, syncsafe(0x10000)) + common3 + bytes(40) + v1(),
}

folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
