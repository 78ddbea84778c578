#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<input kind>/ (shp, bmp, png, palette, transfer, script).

Seeds come from the demo data (build/bin, made by the build) and hand-made edge files:
archives cut at every section boundary, odd image counts, offsets past the end, frames
larger than the raster, Left/Top at the limits; bitmaps of every accepted and refused
layout and kind (indexed, RLE, 16/32-bit, and what ImageMagick writes); PNG of every colour
type, damaged and huge ones; palette files of every format, with odd counts and lines. Run it from the repository's root after
a build: python3 fuzz/make_corpus.py build/bin
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from shp_bytes import archive, header, le32  # noqa: E402
from picture_bytes import bmp as bmp_kind, chunk, gpl, grey_ramp, png, riff_palette  # noqa: E402

PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'data', 'pictures')


def picture_file(name):
    return open(os.path.join(PICTURES, name), 'rb').read()


def shp_seeds(bin_dir):
    seeds = {}
    heroes = open(os.path.join(bin_dir, 'source/heroes.shp'), 'rb').read()
    army = open(os.path.join(bin_dir, 'dest/army.shp'), 'rb').read()
    seeds['heroes'] = heroes
    seeds['army'] = army
    count = struct.unpack_from('<i', army, 4)[0]
    first = struct.unpack_from('<i', army, 8)[0]
    for cut in (4, 8, 12, 8 + 8 * count, first + 10, first + 24, first + 40, len(army) - 1):
        seeds['army_cut_%d' % cut] = army[:cut]
    line = bytes([6, 5, 3, 7, 1, 2, 3, 9, 0])
    for n in (0, -1, 10000, 10001):
        seeds['count_%d' % n] = b'1.10' + le32(n) + header(0, 0, 0, 0, 0, 0)
    seeds['offset_past_end'] = b'1.10' + le32(2) + le32(1 << 30) + le32(0) + le32(-5) + le32(7)
    seeds['frame_larger_than_raster'] = archive([header(65535, 65535, 0, 0, 65534, 3) + line * 4])
    seeds['runs_past_raster'] = archive([header(2, 2, 641, 481, 900, 481) + bytes([254, 3] * 4 + [0])])
    for left, top in ((-100, -100), (641, 481), (-101, 0), (0, 482)):
        seeds['box_%d_%d' % (left, top)] = archive([header(4, 4, left, top, 3, top + 3) + line * 4])
    seeds['huge_line_range'] = archive([header(1, 1, 0, -2147483647, 0, 2147483647) + line])
    pal = le32(3) + bytes([5, 63, 64, 1, 5, 1, 2, 3, 255, 9, 9, 9])
    seeds['own_palette'] = archive([header(3, 3, 0, 0, 3, 3) + line * 4] * 2, {0: pal})
    seeds['palette_count_huge'] = archive([header(0, 0, 0, 0, 0, 0) + b'\0'], {0: le32(0x7fffffff) + b'\1\2\3'})
    return seeds


def bmp(width, height, bits=24, compression=0, header_size=40, top_down=False, cut=0):
    stride = (width * bits // 8 + 3) // 4 * 4
    offset = 14 + header_size
    data = bytearray(offset + stride * abs(height))
    data[0:2] = b'BM'
    struct.pack_into('<IiiiiHHI', data, 10, offset, header_size, width,
                     -height if top_down else height, 0, 1, bits, compression)
    struct.pack_into('<HH', data, 26, 1, bits)
    for i in range(offset, len(data)):
        data[i] = (i * 37) & 0xFF
    return bytes(data[:len(data) - cut])


def bmp_seeds():
    return {
        'plain_5x3': bmp(5, 3),
        'one_wide': bmp(1, 4),
        'top_down': bmp(6, 2, top_down=True),
        'v5_header': bmp(3, 3, header_size=124),
        'core_header': b'BM' + struct.pack('<IHHIIHHHH', 0, 0, 0, 26, 12, 2, 2, 1, 24) + bytes(16),
        'eight_bit': bmp(4, 4, bits=8),
        'compressed': bmp(4, 4, compression=1),
        'too_wide': bmp(840, 1),
        'truncated': bmp(10, 10, cut=7),
        'not_bitmap': b'GIF89a' + bytes(40),
    }


def bmp_kind_seeds():
    """The bitmap kinds beside the 24-bit one, for fuzz_bmp_kinds (they share the bmp folder)."""
    ramp = grey_ramp(256)
    return {
        'one_bit': bmp_kind(3, 2, 1, bytes([0x60, 0, 0, 0, 0xA0, 0, 0, 0]), table=ramp[:2]),
        'four_bit': bmp_kind(3, 2, 4, bytes([0x12, 0x30, 0, 0, 0x5A, 0xF0, 0, 0]), table=ramp[:16]),
        'eight_bit_top_down': bmp_kind(3, -2, 8, bytes([7, 8, 9, 0, 200, 201, 202, 0]), table=ramp),
        'core_eight_bit': bmp_kind(2, 1, 8, bytes([1, 2, 0, 0]), header_size=12, table=ramp),
        'rle8': bmp_kind(4, 3, 8, bytes([4, 5, 0, 0, 0, 2, 1, 0, 0, 3, 6, 7, 8, 0, 0, 0, 2, 9, 0, 1]),
                         compression=1, table=ramp),
        'rle4': bmp_kind(4, 2, 4, bytes([4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1]), compression=2,
                         table=ramp[:16]),
        'rgb555': bmp_kind(2, 1, 16, bytes([0x01, 0x7C, 0x1F, 0xC1])),
        'bitfields565': bmp_kind(2, 1, 16, bytes([0xE0, 0x0F, 0x10, 0xFC]), compression=3,
                                 masks=(0xF800, 0x07E0, 0x001F)),
        'rgb32': bmp_kind(2, 1, 32, bytes([1, 2, 3, 0, 4, 5, 6, 0])),
        'v5_alpha': bmp_kind(2, 1, 32, bytes([1, 2, 3, 127, 4, 5, 6, 128]), compression=3,
                             header_size=124, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        'alphabitfields': bmp_kind(1, 1, 32, bytes([1, 2, 3, 4]), compression=6,
                                   masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000)),
        'im_rle8': picture_file('im_rle8.bmp'),
        'im_8bit': picture_file('im_8bit.bmp'),
        'im_32bit_alpha': picture_file('im_32bit_alpha.bmp'),
    }


def png_seeds():
    ramp = grey_ramp(256)
    rgb_rows = [bytes((x * 40 + y) % 256 for x in range(15)) for y in range(4)]
    return {
        'gray1': png(9, 2, 0, 1, [bytes([0xA5, 0x80])] * 2),
        'gray8_trns': png(3, 2, 0, 8, [bytes([0, 9, 200])] * 2, trns=bytes([0, 9])),
        'gray16': png(2, 2, 0, 16, [bytes([1, 2, 3, 4])] * 2),
        'gray_alpha8': png(2, 1, 4, 8, [bytes([50, 0, 60, 255])]),
        'rgb8': png(5, 4, 2, 8, rgb_rows),
        'rgba16': png(1, 1, 6, 16, [bytes([1, 2, 3, 4, 5, 6, 0, 200])]),
        'palette1': png(8, 1, 3, 1, [bytes([0x5A])], plte=ramp[:2]),
        'palette4_trns': png(4, 2, 3, 4, [bytes([0x01, 0x23])] * 2, plte=ramp[:16], trns=bytes([0, 128])),
        'palette8': png(3, 3, 3, 8, [bytes([0, 1, 2])] * 3, plte=ramp),
        'interlaced_1x1': png(1, 1, 2, 8, [bytes([9, 8, 7])], interlace=1),
        'index_past_plte': png(2, 1, 3, 8, [bytes([0, 5])], plte=ramp[:2]),
        'huge_ihdr': png(60000, 60000, 2, 8, [], idat=b''),
        'cut_in_idat': png(5, 4, 2, 8, rgb_rows)[:-30],
        'no_plte': png(2, 1, 3, 8, [bytes([0, 1])]),
        'text_chunk': png(1, 1, 0, 8, [b'\x10'])[:33] + chunk(b'tEXt', b'Comment\0seed') +
        png(1, 1, 0, 8, [b'\x10'])[33:],
        'im_indexed': picture_file('im_indexed.png'),
        'im_rgba16': picture_file('im_rgba16.png'),
    }


def palette_seeds(bin_dir):
    return {
        'desert': open(os.path.join(bin_dir, 'demo/desert.pal'), 'rb').read(),
        'sixteen': b'tag\nv\n16\n' + b''.join(b'%d %d %d\n' % (i, i, i) for i in range(16)),
        'count_300': b'a\nb\n300\n' + b'1 2 3\n' * 20,
        'odd_values': b'a\nb\n3\n256 -1 300\nx y z\n99999999999 -99999999999 7\n',
        'crlf': b'a\r\nb\r\n2\r\n1 2 3\r\n4 5 6\r\n',
        'long_line': b'x' * 300 + b'\nb\n1\n1 2 3\n',
        'empty': b'',
        'gimp': gpl(grey_ramp(20)),
        'gimp_odd_rows': b'GIMP Palette\r\nName: x\n# c\n\n 1 2 3\n4\t5\t6 name with blanks\n7 8\n',
        'riff': riff_palette(grey_ramp(16)),
        'riff_count_lies': riff_palette(grey_ramp(4), count=300),
        'act_768': bytes(range(256)) * 3,
        'act_772': bytes(range(256)) * 3 + bytes([0, 16, 0, 255]),
        'indexed_png': picture_file('im_indexed.png'),
        'indexed_bmp': picture_file('im_8bit.bmp'),
    }


def transfer_seeds(shp):
    """Pairs of archives: icon bytes, remap flag, source length, source, destination."""
    seeds = {}
    pairs = [('heroes', 'army'), ('army', 'heroes'), ('own_palette', 'army'),
             ('heroes', 'army_cut_96'), ('huge_line_range', 'box_641_481'),
             ('army_cut_66', 'own_palette'), ('heroes', 'count_-1'), ('heroes', 'offset_past_end')]
    for k, (src, dst) in enumerate(pairs):
        source = shp[src]
        seeds['%s_into_%s' % (src, dst)] = (bytes([k % 3, (k * 2) % 5, k & 1]) +
                                            struct.pack('<H', len(source)) + source + shp[dst])
    return seeds


def script_seeds():
    return {
        'demo': b'new leader,army,0,heroes,2\nscout,army,3,heroes,5\n',
        'odd_fields': b',a,1,b,2\ncomma, here,x,1,y,2\nshort,line\n\n12 ,x,y\r\n',
        'long_line': b'd' * 200 + b',a,1,b,2\n',
        'high_bytes': b'desc,a,1,b,\xe9\x80tail\n',
        'many_lines': b'r,a,1,b,2\n' * 150,
        'nul': b'a\0b,c,1,d,2\n',
    }


def settings_seeds():
    return {
        'remembered': b'1\ndesert.pal\ndefault\n341 132\n0 0\n10 20\n-5 7\n300 400\n',
        'switched_off': b'0\nx.pal\n',
        'short': b'7\npals/x.pal   \r\n',
        'no_number': b'yes\n',
        'long_lines': b'1\n' + b'p' * 400 + b'\n' + b'q' * 300 + b'\n1 2\n',
        'huge_numbers': b'99999999999\na\nb\n-99999999999 5\n',
    }


def write(target, seeds):
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


def main():
    bin_dir = sys.argv[1] if len(sys.argv) > 1 else 'build/bin'
    shp = shp_seeds(bin_dir)
    write('shp', shp)
    write('bmp', {**bmp_seeds(), **bmp_kind_seeds()})
    write('png', png_seeds())
    write('palette', palette_seeds(bin_dir))
    write('transfer', transfer_seeds(shp))
    write('script', script_seeds())
    write('settings', settings_seeds())


if __name__ == '__main__':
    main()
