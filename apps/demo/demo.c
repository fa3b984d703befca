/*
 * kvnvc-demo: motion-compensates a synthetic moving picture with the block layer.
 *
 * A textured 352x288 picture moves by a sub-sample vector each frame. Every
 * frame is predicted macroblock by macroblock from the previous one with
 * half-sample motion compensation plus a small residual, using only the public
 * API. Prints the version record, a checksum of the last prediction and the
 * throughput.
 */
#include <kvnvc.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { W = 352, H = 288, PAD = 32, STEP = W + 2 * PAD, FRAMES = 60 };

static double now_seconds(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

/* A picture with a texture that moves (dx, dy) half samples per frame. */
static void draw(Kvn8u* pic, int frame) {
    int x, y;
    for (y = -PAD; y < H + PAD; ++y)
        for (x = -PAD; x < W + PAD; ++x) {
            const int u = 2 * x + frame * 3, v = 2 * y + frame;
            pic[(y + PAD) * STEP + x + PAD] = (Kvn8u)(((u * u) / 97 + (v * v) / 89 + (u ^ v)) & 255);
        }
}

static unsigned fnv1a(const Kvn8u* p, int step) {
    unsigned h = 2166136261u;
    int x, y;
    for (y = 0; y < H; ++y)
        for (x = 0; x < W; ++x) h = (h ^ p[y * step + x]) * 16777619u;
    return h;
}

int main(void) {
    const KvnVersionRecord* v = kvnvcGetLibVersion();
    Kvn8u* ref = (Kvn8u*)kvnMalloc(STEP * (H + 2 * PAD));
    Kvn8u* cur = (Kvn8u*)kvnMalloc(STEP * (H + 2 * PAD));
    Kvn16s* residual = (Kvn16s*)kvnMalloc(16 * 16 * (int)sizeof(Kvn16s));
    long blocks = 0;
    double t0, elapsed = 0;
    int frame, i;
    if (!ref || !cur || !residual) {
        fprintf(stderr, "kvnvc-demo: out of memory\n");
        return 1;
    }
    printf("%s %s (built %s), target %s\n", v->libraryName, v->versionText, v->buildDate, v->targetCode);
    for (i = 0; i < 256; ++i) residual[i] = (Kvn16s)((i * 37) % 9 - 4);
    memset(cur, 0, STEP * (H + 2 * PAD));

    for (frame = 1; frame <= FRAMES; ++frame) {
        int mbx, mby;
        draw(ref, frame - 1);
        t0 = now_seconds();
        for (mby = 0; mby < H / 16; ++mby)
            for (mbx = 0; mbx < W / 16; ++mbx) {
                /* A half-sample vector per macroblock around the global motion. */
                const int mvx = 3 + ((mbx + frame) % 3) - 1, mvy = 1 + ((mby + frame) % 3) - 1;
                const Kvn8u* r = ref + (PAD + mby * 16 + (mvy >> 1)) * STEP + PAD + mbx * 16 + (mvx >> 1);
                Kvn8u* d = cur + (PAD + mby * 16) * STEP + PAD + mbx * 16;
                const int mode = ((mvx & 1) ? 8 : 0) | ((mvy & 1) ? 4 : 0);
                if (kvniMC16x16_8u_C1(r, STEP, residual, 32, d, STEP, mode, frame & 1) != KVN_STS_OK) {
                    fprintf(stderr, "kvnvc-demo: motion compensation failed\n");
                    return 1;
                }
                ++blocks;
            }
        elapsed += now_seconds() - t0;
    }
    printf("frames %d, macroblocks %ld, checksum %08x\n", FRAMES, blocks, fnv1a(cur + PAD * STEP + PAD, STEP));
    printf("motion compensation: %.2f ms, %.1f ns per macroblock, %.1f Mmacroblocks/s\n", elapsed * 1e3,
           elapsed * 1e9 / (double)blocks, (double)blocks / elapsed * 1e-6);
    kvnFree(ref);
    kvnFree(cur);
    kvnFree(residual);
    return 0;
}
