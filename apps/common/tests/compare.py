#!/usr/bin/env python3
"""Per-picture PSNR of two raw YUV 4:2:0 files (Y, Cb, Cr separately).

compare.py [--prefix] [--chroma 420|411|422] W H a.yuv b.yuv
  -> prints "frames minY minCb minCr avg"
where min* are the lowest per-picture PSNRs (inf when identical) and avg the
PSNR of the whole files over all samples. Exit 1 if the files' picture counts
differ; with --prefix, b may be longer (its first pictures are compared: a
source against a decoder whose encoder dropped the last pictures).
"""
import math
import sys


CHROMA = '420'


def planes(w, h):
    cw, ch = (w + 1) // 2, (h + 1) // 2
    if CHROMA == '411':
        cw, ch = (w + 3) // 4, h
    elif CHROMA == '422':
        ch = h
    return [(0, w * h), (w * h, cw * ch), (w * h + cw * ch, cw * ch)]


def psnr(sse, n):
    return float('inf') if sse == 0 else 10 * math.log10(255 * 255 * n / sse)


def main():
    args = sys.argv[1:]
    prefix = args[0] == '--prefix'
    if prefix:
        args = args[1:]
    if args[0] == '--chroma':
        global CHROMA
        CHROMA = args[1]
        args = args[2:]
    w, h = int(args[0]), int(args[1])
    a = open(args[2], 'rb').read()
    b = open(args[3], 'rb').read()
    size = planes(w, h)[2][0] + planes(w, h)[2][1]
    if prefix and len(b) > len(a):
        b = b[:len(a)]
    if len(a) != len(b) or len(a) % size:
        print(f"pictures differ: {len(a) / size} against {len(b) / size}")
        return 1
    mins = [float('inf')] * 3
    total, count = 0, 0
    for f in range(len(a) // size):
        for c, (off, n) in enumerate(planes(w, h)):
            pa = a[f * size + off:f * size + off + n]
            pb = b[f * size + off:f * size + off + n]
            sse = 0 if pa == pb else sum((x - y) * (x - y) for x, y in zip(pa, pb))
            mins[c] = min(mins[c], psnr(sse, n))
            total += sse
            count += n
    print(len(a) // size, ' '.join(f"{m:.2f}" for m in mins), f"{psnr(total, count):.3f}")
    return 0


if __name__ == '__main__':
    sys.exit(main())
