"""Byte builders for hand-made SHP files, shared by the seed corpus and the regression files."""
import struct


def le32(v):
    return struct.pack('<i', v)


def header(maxy, maxx, left, top, right, bottom, offs=0):
    """The 24-byte image header: MaxY, MaxX, X/Y offsets word, Left, Top, Right, Bottom."""
    return struct.pack('<HHiiiii', maxy, maxx, offs, left, top, right, bottom)


def archive(records, palettes=None):
    """records: list of bytes; palettes: dict index -> palette record bytes."""
    palettes = palettes or {}
    out = bytearray(b'1.10' + le32(len(records)) + b'\0' * 8 * len(records))
    for i, rec in enumerate(records):
        struct.pack_into('<i', out, 8 + 8 * i, len(out))
        out += rec
        if i in palettes:
            struct.pack_into('<i', out, 12 + 8 * i, len(out))
            out += palettes[i]
    return bytes(out)
