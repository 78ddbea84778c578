"""Byte builders for PNG pictures, bitmaps and palette files, shared by the seed corpus
(fuzz/make_corpus.py) and the regression files (tests/data/make_hand_made.py)."""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, color_type, depth, rows, plte=None, trns=None, interlace=0, idat=None):
    """rows: the raw scanlines without filter bytes; idat replaces the compressed data."""
    head = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth,
                                                             color_type, 0, 0, interlace))
    if plte is not None:
        head += chunk(b'PLTE', bytes(c for rgb in plte for c in rgb))
    if trns is not None:
        head += chunk(b'tRNS', trns)
    if idat is None:
        idat = zlib.compress(b''.join(b'\0' + row for row in rows))
    return head + chunk(b'IDAT', idat) + chunk(b'IEND', b'')


def grey_ramp(n):
    return [(i * 255 // max(n - 1, 1),) * 3 for i in range(n)]


def bmp(width, height, bits, pixels, compression=0, header_size=40, table=None, masks=(),
        masks_after_header=None):
    """pixels: the stored pixel bytes; table: (r, g, b) entries; masks go inside a header of
    52 bytes or more, else after it."""
    table = table or []
    core = header_size == 12
    after = b''.join(struct.pack('<I', m) for m in masks) if header_size == 40 else b''
    if masks_after_header is not None:
        after = masks_after_header
    entry = 3 if core else 4
    offset = 14 + header_size + len(after) + entry * len(table)
    if core:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
    else:
        info = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bits, compression,
                           len(pixels), 0, 0, len(table), 0)
        if header_size > 40:
            extra = b''.join(struct.pack('<I', m) for m in masks)
            info += (extra + bytes(header_size - 40))[:header_size - 40]
    colours = b''.join(bytes((b, g, r)) + (b'' if core else b'\0') for r, g, b in table)
    body = info + after + colours + pixels
    return b'BM' + struct.pack('<IHHI', 14 + len(body), 0, 0, offset) + body


def riff_palette(colours, count=None):
    count = len(colours) if count is None else count
    data = struct.pack('<HH', 0x300, count) + b''.join(bytes((r, g, b, 0)) for r, g, b in colours)
    body = b'PAL ' + b'data' + struct.pack('<I', len(data)) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body


def gpl(colours, name='seed'):
    rows = ''.join('%3d %3d %3d\tIndex %d\n' % (r, g, b, i) for i, (r, g, b) in enumerate(colours))
    return ('GIMP Palette\nName: %s\nColumns: 16\n#\n' % name + rows).encode()
