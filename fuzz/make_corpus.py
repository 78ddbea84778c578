#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<input kind>/ (shp, bmp, palette, transfer, script).

Seeds come from the demo data (build/bin, made by the build) and hand-made edge files:
archives cut at every section boundary, odd image counts, offsets past the end, frames
larger than the raster, Left/Top at the limits; bitmaps of every accepted and refused
layout; palette files with odd counts and lines. Run it from the repository's root after
a build: python3 fuzz/make_corpus.py build/bin
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from shp_bytes import archive, header, le32  # noqa: E402


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


def palette_seeds(bin_dir):
    return {
        'desert': open(os.path.join(bin_dir, 'demo/desert.pal'), 'rb').read(),
        'sixteen': b'tag\nv\n16\n' + b''.join(b'%d %d %d\n' % (i, i, i) for i in range(16)),
        'count_300': b'a\nb\n300\n' + b'1 2 3\n' * 20,
        'odd_values': b'a\nb\n3\n256 -1 300\nx y z\n99999999999 -99999999999 7\n',
        'crlf': b'a\r\nb\r\n2\r\n1 2 3\r\n4 5 6\r\n',
        'long_line': b'x' * 300 + b'\nb\n1\n1 2 3\n',
        'empty': b'',
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
    write('bmp', bmp_seeds())
    write('palette', palette_seeds(bin_dir))
    write('transfer', transfer_seeds(shp))
    write('script', script_seeds())
    write('settings', settings_seeds())


if __name__ == '__main__':
    main()
