/* kvnvc-info: what the library is and what it will run on this machine: the
 * version record, the processor features the core library reports, the
 * KVNVC_CPU cap in force and the kernel level chosen under it. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kvncore.h"
#include "kvnvc.h"

static const struct {
  uint64_t bit;
  const char* name;
} kFeatures[] = {
    {KVN_CPU_SSE2, "sse2"},         {KVN_CPU_SSE3, "sse3"},         {KVN_CPU_SSSE3, "ssse3"},
    {KVN_CPU_SSE41, "sse4.1"},      {KVN_CPU_SSE42, "sse4.2"},      {KVN_CPU_POPCNT, "popcnt"},
    {KVN_CPU_AVX, "avx"},           {KVN_CPU_AVX2, "avx2"},         {KVN_CPU_FMA3, "fma3"},
    {KVN_CPU_BMI1, "bmi1"},         {KVN_CPU_BMI2, "bmi2"},         {KVN_CPU_LZCNT, "lzcnt"},
    {KVN_CPU_AVX512F, "avx512f"},   {KVN_CPU_AVX512BW, "avx512bw"}, {KVN_CPU_AVX512DQ, "avx512dq"},
    {KVN_CPU_AVX512VL, "avx512vl"},
};

/* The kernel levels, lowest first, with the features each needs. */
static const struct {
  const char* name;
  uint64_t needs;
} kLevels[] = {
    {"c", 0},
    {"sse2", KVN_CPU_SSE2},
    {"sse41", KVN_CPU_SSE41 | KVN_CPU_SSSE3},
    {"avx2", KVN_CPU_AVX2 | KVN_CPU_BMI2},
    {"avx512", KVN_CPU_AVX2 | KVN_CPU_BMI2 | KVN_CPU_AVX512F | KVN_CPU_AVX512BW | KVN_CPU_AVX512DQ | KVN_CPU_AVX512VL},
};
enum { kLevelCount = sizeof kLevels / sizeof kLevels[0] };

int main(int argc, char** argv) {
  if (argc > 1) {
    printf(
        "usage: kvnvc-info\n"
        "  prints the library version, the processor features it uses and the kernel\n"
        "  level it runs; KVNVC_CPU=c|sse2|sse41|avx2|avx512 caps that level.\n");
    return strcmp(argv[1], "--help") == 0 ? 0 : 2;
  }
  const KvnVersionRecord* v = kvnvcGetLibVersion();
  printf("library:  %s %s (%s)\n", v->libraryName, v->versionText, v->buildDate);

  const uint64_t f = kvnGetEnabledCpuFeatures();
  printf("features:");
  for (size_t i = 0; i < sizeof kFeatures / sizeof kFeatures[0]; ++i)
    if (f & kFeatures[i].bit) printf(" %s", kFeatures[i].name);
  printf("\n");

  int best = 0;
  for (int i = 1; i < kLevelCount; ++i)
    if ((f & kLevels[i].needs) == kLevels[i].needs) best = i;
  const char* capText = getenv("KVNVC_CPU");
  int cap = kLevelCount - 1;
  if (capText)
    for (int i = 0; i < kLevelCount; ++i)
      if (strcmp(capText, kLevels[i].name) == 0) cap = i;
  if (!capText)
    printf("cap:      none (KVNVC_CPU unset)\n");
  else if (cap == kLevelCount - 1 && strcmp(capText, kLevels[cap].name) != 0)
    printf("cap:      none (KVNVC_CPU=%s is not a level: c, sse2, sse41, avx2, avx512)\n", capText);
  else
    printf("cap:      %s (KVNVC_CPU)\n", kLevels[cap].name);
  const int level = best < cap ? best : cap;
  printf(
      "level:    %s (every family runs its kernels of this level, or of the highest level below it\n"
      "          where it has none of its own)\n",
      kLevels[level].name);
  return 0;
}
