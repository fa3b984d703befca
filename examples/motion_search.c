/*
 * Full-search block motion estimation with the SAD xN functions.
 *
 * kvniSAD16x16xN_8u16u_C1R measures one 16x16 block of the current picture
 * against a row of candidate blocks of the reference in one call: candidate i
 * starts i bytes to the right of pRef, for i = 0 .. N - 1 (N a multiple of
 * 8), and pSAD[i] receives its sum of absolute differences. A search window
 * of W x H positions is thus H calls, one per vertical displacement. The xNI
 * members also return the index of the smallest SAD (the first among equal
 * ones).
 *
 * The program makes a textured reference picture and a current picture that
 * is the reference moved by a known vector, searches one 16x16 block and its
 * four 8x8 sub-blocks, and checks that every search finds that vector.
 */
#include <kvnvc.h>
#include <stdio.h>

enum { W = 64, H = 64 }; /* picture size */
enum { RANGE = 8 };      /* displacements -8 .. +7 in both directions */
enum { N = 2 * RANGE };  /* candidates per call: 16, a multiple of 8 */
enum { TRUE_DX = 5, TRUE_DY = -3 };

static Kvn8u ref[H * W], cur[H * W];

/* A reference with texture, so that the best match is unique. */
static void make_pictures(void) {
  Kvn32u seed = 12345;
  int x, y;
  for (y = 0; y < H; ++y)
    for (x = 0; x < W; ++x) {
      seed = seed * 1103515245u + 12345u;
      ref[y * W + x] = (Kvn8u)(x * 2 + y + ((seed >> 16) & 63));
    }
  /* cur(x, y) = ref(x + dx, y + dy): the block at (x, y) of the current
   * picture is found at (x + dx, y + dy) in the reference. */
  for (y = 0; y < H; ++y)
    for (x = 0; x < W; ++x) {
      int sx = x + TRUE_DX, sy = y + TRUE_DY;
      sx = sx < 0 ? 0 : sx >= W ? W - 1 : sx;
      sy = sy < 0 ? 0 : sy >= H ? H - 1 : sy;
      cur[y * W + x] = ref[sy * W + sx];
    }
}

/* Searches the size x size block at (bx, by) of cur over the window; the
 * window must lie inside the reference: each call reads N + size - 1 bytes of
 * each of size rows. Returns the smallest SAD and its vector. */
static Kvn32u search(int size, int bx, int by, int* mvx, int* mvy) {
  const Kvn8u* block = cur + by * W + bx;
  Kvn32u best = 0xffffffffu;
  int dy;
  for (dy = -RANGE; dy < RANGE; ++dy) {
    /* Candidate i of this row is displaced by (i - RANGE, dy). */
    const Kvn8u* row = ref + (by + dy) * W + (bx - RANGE);
    Kvn16u sad[N];
    Kvn32u i, index = 0;
    KvnResult st;
    if (size == 16) {
      /* xN: all N SADs; the caller picks. */
      st = kvniSAD16x16xN_8u16u_C1R(block, W, row, W, sad, N);
      for (i = 1; i < N; ++i)
        if (sad[i] < sad[index]) index = i;
    } else {
      /* xNI: the library picks the smallest as well. */
      st = kvniSAD8x8xNI_8u16u_C1R(block, W, row, W, sad, N, &index);
    }
    if (st != KVN_STS_OK) return 0xffffffffu;
    if (sad[index] < best) {
      best = sad[index];
      *mvx = (int)index - RANGE;
      *mvy = dy;
    }
  }
  return best;
}

int main(void) {
  int mvx = 0, mvy = 0, sx = 0, sy = 0, k, ok;
  Kvn32u sad;
  make_pictures();

  sad = search(16, 24, 24, &mvx, &mvy);
  ok = mvx == TRUE_DX && mvy == TRUE_DY && sad == 0;

  /* The four 8x8 sub-blocks find the same vector. */
  for (k = 0; k < 4; ++k) {
    Kvn32u s = search(8, 24 + (k & 1) * 8, 24 + (k >> 1) * 8, &sx, &sy);
    ok = ok && sx == TRUE_DX && sy == TRUE_DY && s == 0;
  }

  printf("motion_search: %s: 16x16 block at (24,24) moved by (%d,%d), SAD %u (expected (%d,%d), 0)\n",
         ok ? "ok" : "FAILED", mvx, mvy, (unsigned)sad, TRUE_DX, TRUE_DY);
  return ok ? 0 : 1;
}
