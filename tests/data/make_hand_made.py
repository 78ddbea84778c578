#!/usr/bin/env python3
"""Writes the hand-made regression files into tests/data/<kind>/ (shp, bmp, palette, script,
transfer): files made to break a reader the way damaged or hostile files would. Inputs found
by fuzzing are added to the same folders by hand, under a name saying what they broke.

The pictures in tests/data/pictures/ are made by make_imagemagick_inputs.sh beside this.

Run it from the repository's root: python3 tests/data/make_hand_made.py
A transfer file is one fuzz_transfer_row input: byte 0 the source icon, byte 1 the
destination icon, byte 2 bit 0 "Use 2 Palettes", bytes 3-4 the source archive's length
(little-endian), then the source archive and the destination archive.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'fuzz'))
from shp_bytes import archive, header, le32  # noqa: E402
from picture_bytes import bmp, chunk, grey_ramp, png, riff_palette  # noqa: E402

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
        # An 8-bit bitmap declaring 60000 x 60000 pixels in a few hundred bytes.
        'eight_bit_60000x60000': bmp(60000, 60000, 8, bytes(16), table=grey_ramp(4)),
        # RLE8 whose deltas and runs go far past the right edge and the last row.
        'rle8_past_every_edge': bmp(4, 3, 8, bytes([255, 1, 0, 2, 255, 255, 0, 255] + [3, 1] * 4
                                                   + [0, 0] * 10 + [0, 1]), compression=1,
                                    table=grey_ramp(2)),
        # RLE4 with an absolute run longer than the row and no end code.
        'rle4_without_end': bmp(3, 2, 4, bytes([0, 9, 0x12, 0x34, 0x56, 0x78, 0x9A, 0, 5, 0x11]),
                                compression=2, table=grey_ramp(16)),
        # A colour table said to hold 2^31 entries; only four are there.
        'table_count_2147483648': bmp(2, 2, 8, bytes(8), table=grey_ramp(4))[:46]
        + struct.pack('<I', 0x80000000) + bmp(2, 2, 8, bytes(8), table=grey_ramp(4))[50:],
        # 16-bit masks with gaps in them, and one beyond the pixel's 16 bits.
        'masks_with_gaps': bmp(2, 1, 16, bytes(4), compression=3, masks=(0xF00F, 0x0FF0, 0x30000)),
        # 32 bits a pixel with pixel rows cut off after one byte.
        'bitfields_cut_short': bmp(100, 100, 32, bytes(1), compression=3, header_size=124,
                                   masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
    },
    'png': {
        # 60000 x 60000 pixels declared; no pixel data follows.
        'declares_60000x60000': png(60000, 60000, 6, 8, [], idat=b''),
        # An IDAT that inflates to 16 MB of zeros for a picture of 4 x 4 pixels.
        'idat_inflates_to_16mb': png(4, 4, 0, 8, [], idat=zlib.compress(bytes(16 << 20), 9)),
        # Indices past the end of a two-entry palette.
        'index_past_plte': png(4, 1, 3, 8, [bytes([0, 1, 2, 255])], plte=grey_ramp(2)),
        # Cut in the middle of its pixel data.
        'cut_in_idat': png(40, 30, 2, 8, [bytes(range(120))] * 30)[:80],
        # An IDAT whose checksum is wrong.
        'idat_crc_wrong': png(2, 2, 0, 8, [bytes(2)] * 2)[:-20] + b'\0\0\0\0' +
        png(2, 2, 0, 8, [bytes(2)] * 2)[-16:],
        # A palette picture without a palette.
        'palette_type_without_plte': png(2, 2, 3, 8, [bytes(2)] * 2),
        # A zTXt chunk that inflates to 16 MB, before the picture.
        'ztxt_16mb': png(1, 1, 0, 8, [b'\x01'])[:33] + chunk(b'zTXt', b'Comment\0\0' +
                                                         zlib.compress(bytes(16 << 20), 9))
        + png(1, 1, 0, 8, [b'\x01'])[33:],
    },
    'palette': {
        'count_2147483647': b'JASC-PAL\n0100\n2147483647\n1 2 3\n4 5 6\n',
        'count_-2147483648': b'JASC-PAL\n0100\n-2147483648\n1 2 3\n',
        'count_beyond_int': b'JASC-PAL\n0100\n99999999999999999999\n1 2 3\n',
        'entries_not_numbers': b'x\ny\n3\nred green blue\n-99999999999 99999999999 7\n\xff\xfe\n',
        # GIMP rows past 255, and one line of 100000 bytes.
        'gimp_values_past_255': b'GIMP Palette\n1 2 3 ' + b'n' * 100000 + b'\n256 0 -1\n',
        # A RIFF palette claiming 65535 entries in 30 bytes.
        'riff_count_65535': riff_palette(grey_ramp(2), count=65535),
        # A RIFF chunk size of 2^32 - 1 before the data chunk.
        'riff_chunk_size_huge': b'RIFF\0\0\0\0PAL junk\xff\xff\xff\xff' + riff_palette(grey_ramp(2))[12:],
        # A 772-byte colour table whose count is 0, and a binary table whose third line
        # starts with a digit.
        'act_count_0': bytes(768) + bytes([0, 0, 0, 0]),
        'act_third_line_digit': (b'\x01\x02\n\x03\n7' + bytes(range(256)) * 3)[:768],
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
