#!/usr/bin/env python3
"""Writes the hand-made regression files into tests/data/<kind>/ (shp, bmp, palette, script,
transfer): files made to break a reader the way damaged or hostile files would. Inputs found
by fuzzing are added to the same folders by hand, under a name saying what they broke.

Run it from the repository's root: python3 tests/data/make_hand_made.py
A transfer file is one fuzz_transfer_row input: byte 0 the source icon, byte 1 the
destination icon, byte 2 bit 0 "Use 2 Palettes", bytes 3-4 the source archive's length
(little-endian), then the source archive and the destination archive.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'fuzz'))
from shp_bytes import archive, header, le32  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


LINE = bytes([7, 5, 6, 7, 1, 2, 4, 9, 0])  # 3 literal pixels, a skip of 2, 2 repeated, end
SMALL = header(3, 9, 0, 0, 8, 3) + LINE * 4


def transfer(src_icon, dest_icon, palettes, source, dest):
    return bytes([src_icon, dest_icon, 1 if palettes else 0]) + struct.pack('<H', len(source)) + source + dest


FILES = {
    'shp': {
        # The count says 10000 images, the file ends after the count.
        'count_10000_in_8_bytes': b'1.10' + le32(10000),
        # Index entries with negative image and palette offsets, and one at -2^31.
        'negative_offsets': b'1.10' + le32(3) + le32(-24) + le32(-1) + le32(-2147483648) + le32(0)
        + le32(32) + le32(-8) + SMALL,
        # Entries pointing back into the index and the file head.
        'offsets_into_index': b'1.10' + le32(2) + le32(0) + le32(4) + le32(12) + le32(0) + SMALL,
        # An image's own palette record claiming 2^31 - 1 entries, three bytes long.
        'palette_count_2147483647': archive([SMALL], {0: le32(0x7fffffff) + b'\1\2\3'}),
        # A frame of 65535 x 65535 whose box runs from -2^31 to 2^31 - 1.
        'box_at_int32_limits': archive([header(65535, 65535, -2147483648, -2147483648,
                                               2147483647, 2147483647) + LINE * 3]),
        # Repeat runs of 127 pixels, 200 of them in one line: far past the raster's width.
        'line_past_the_raster': archive([header(0, 838, 0, 0, 838, 0) + bytes([254, 3] * 200 + [0])]),
    },
    'bmp': {
        # Headers of a 839 x 649 24-bit bitmap, and then only 6 bytes of pixels.
        'claims_839x649_in_60_bytes': b'BM' + struct.pack('<IHHIIiiHHIIiiII', 60, 0, 0, 54, 40, 839,
                                                          649, 1, 24, 0, 0, 0, 0, 0, 0) + bytes(6),
        # A top-down bitmap whose height is -2^31 (its magnitude does not fit 32 bits).
        'height_int32_min': b'BM' + struct.pack('<IHHIIiiHHIIiiII', 0, 0, 0, 54, 40, 4, -2147483648,
                                                1, 24, 0, 0, 0, 0, 0, 0) + bytes(64),
        # Pixel data said to start far beyond the end of the file.
        'offset_past_end': b'BM' + struct.pack('<IHHIIiiHHIIiiII', 0, 0, 0, 0xFFFFFFF0, 40, 2, 2, 1,
                                               24, 0, 0, 0, 0, 0, 0) + bytes(16),
        # An info header size of 2^32 - 1.
        'header_size_huge': b'BM' + struct.pack('<IHHII', 0, 0, 0, 54, 0xFFFFFFFF) + bytes(40),
    },
    'palette': {
        'count_2147483647': b'JASC-PAL\n0100\n2147483647\n1 2 3\n4 5 6\n',
        'count_-2147483648': b'JASC-PAL\n0100\n-2147483648\n1 2 3\n',
        'count_beyond_int': b'JASC-PAL\n0100\n99999999999999999999\n1 2 3\n',
        'entries_not_numbers': b'x\ny\n3\nred green blue\n-99999999999 99999999999 7\n\xff\xfe\n',
    },
    'script': {
        # One line of 5000 bytes without a line feed.
        'line_5000_without_newline': (b'tank row,armour,12,allied,3,' * 200)[:5000],
        'commas_5000': b',' * 5000,
        'icon_numbers_huge': b'd,dest,99999999999999999999,src,-2147483649\n' * 3,
    },
    'transfer': {
        # A destination whose entries point before its index and at -2^31.
        'dest_negative_offsets': transfer(0, 1, False, archive([SMALL]),
                                          b'1.10' + le32(2) + le32(-8) + le32(0) + le32(-2147483648)
                                          + le32(0) + SMALL),
        # A source image that claims 1000 lines and ends after two.
        'source_cut_off': transfer(0, 0, True, archive([header(999, 9, 0, 0, 8, 999) + LINE * 2]),
                                   archive([SMALL])),
        # A destination count of 2^31 - 1 in a file of 40 bytes.
        'dest_count_2147483647': transfer(0, 5, False, archive([SMALL]),
                                          b'1.10' + le32(0x7fffffff) + le32(8) * 8),
        # The destination icon's record is shared with the next entry and overlaps it.
        'dest_records_overlap': transfer(0, 0, False, archive([SMALL]),
                                         b'1.10' + le32(2) + le32(24) + le32(0) + le32(30) + le32(0)
                                         + SMALL),
    },
}


def main():
    for kind, files in FILES.items():
        folder = os.path.join(HERE, kind)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
