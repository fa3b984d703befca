#!/usr/bin/env python3
"""libmpeg2's PGM pictures (Y above Cb and Cr side by side) to raw YUV 4:2:0.

pgm2yuv.py W H out.yuv in1.pgm in2.pgm ...  (the pictures' coded size may
exceed W x H: they are cropped)."""
import sys


def main():
    w, h, out = int(sys.argv[1]), int(sys.argv[2]), open(sys.argv[3], 'wb')
    cw, ch = (w + 1) // 2, (h + 1) // 2
    for name in sys.argv[4:]:
        data = open(name, 'rb').read()
        fields, pos = [], 0
        while len(fields) < 4:  # P5 width height maxval
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        pw, ph = int(fields[1]), int(fields[2])
        pix = data[pos + 1:]
        yh = ph * 2 // 3
        y = b''.join(pix[r * pw:r * pw + w] for r in range(h))
        cb = b''.join(pix[(yh + r) * pw:(yh + r) * pw + cw] for r in range(ch))
        cr = b''.join(pix[(yh + r) * pw + pw // 2:(yh + r) * pw + pw // 2 + cw] for r in range(ch))
        out.write(y + cb + cr)
    return 0


if __name__ == '__main__':
    sys.exit(main())
