/*
 * kvncore: the companion core library of kvnVC.
 *
 * Memory, pointer alignment, cache size, thread count and CPU features, and
 * the basic types and status values shared by every kvnVC function.
 */
#ifndef KVNCORE_H
#define KVNCORE_H

#include <stdint.h>

#if defined(KVNCORE_BUILD)
#define KVN_API __attribute__((visibility("default")))
#else
#define KVN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Sample and coefficient types named by the data-type codes of the function names. */
typedef uint8_t Kvn8u;
typedef int8_t Kvn8s;
typedef uint16_t Kvn16u;
typedef int16_t Kvn16s;
typedef uint32_t Kvn32u;
typedef int32_t Kvn32s;
typedef uint64_t Kvn64u;
typedef int64_t Kvn64s;

/* Status of a call: 0 success, negative an error (nothing written unless the
 * function documents otherwise), positive a warning (returned normally with a
 * substitute result or none). */
typedef int32_t KvnResult;

enum {
  KVN_STS_OK = 0,                   /* success */
  KVN_STS_WRN_NOTHING_DONE = 1,     /* mode selector outside its set; no output */
  KVN_STS_WRN_MISALIGNED = 2,       /* misaligned buffer; nothing done */
  KVN_STS_WRN_SUBSTITUTE = 11,      /* unavailable samples replaced by a substitute */
  KVN_STS_WRN_ODD_SIZE = 35,        /* odd width or height; even part processed */
  KVN_STS_ERR = -2,                 /* general error */
  KVN_STS_NO_MEMORY = -4,           /* not enough memory */
  KVN_STS_BAD_ARG = -5,             /* fractional position, bit offset, mode or category outside its set */
  KVN_STS_SIZE_ERR = -6,            /* size below its minimum or outside its set */
  KVN_STS_NULL_PTR = -8,            /* a required pointer is null */
  KVN_STS_MEM_ALLOC = -9,           /* memory allocation failed */
  KVN_STS_DIV_BY_ZERO = -10,        /* zero divisor */
  KVN_STS_OUT_OF_RANGE = -11,       /* numeric argument outside its range */
  KVN_STS_LEVEL_RANGE = -13,        /* quantised level magnitude above 2063 */
  KVN_STS_STEP_ERR = -14,           /* row step below 1 or below the block width */
  KVN_STS_CONTEXT_MISMATCH = -17,   /* state object without its identification word */
  KVN_STS_INTERPOLATION_ERR = -22,  /* interpolation selector neither 1 nor 2 */
  KVN_STS_RESIZE_FACTOR_ERR = -23,  /* resize factor not 2, 4 or 8 */
  KVN_STS_VLC_CODE_ERR = -74,       /* invalid H.264 CAVLC or MPEG-1/2 code */
  KVN_STS_INTRA_UNAVAILABLE = -117, /* intra prediction needs an unavailable neighbour */
  KVN_STS_CODE_ERR = -191,          /* illegal H.261/H.263/MPEG-4 VLC or DC code */
  KVN_STS_QP_ERR = -192,            /* quantiser or scaling argument outside its range */
  KVN_STS_BIT_OFFSET_ERR = -193,    /* byte bit position offset above 7 */
  KVN_STS_OUT_OF_BUFFER = -223      /* CABAC output buffer full */
};

/* Region size in samples, passed by value. */
typedef struct KvnSize {
  int32_t width;
  int32_t height;
} KvnSize;

/* Bits of kvnGetEnabledCpuFeatures(). A bit is set only when the processor
 * has the feature and the operating system saves the registers it uses. */
#define KVN_CPU_SSE2 (1ull << 0)
#define KVN_CPU_SSE3 (1ull << 1)
#define KVN_CPU_SSSE3 (1ull << 2)
#define KVN_CPU_SSE41 (1ull << 3)
#define KVN_CPU_SSE42 (1ull << 4)
#define KVN_CPU_POPCNT (1ull << 5)
#define KVN_CPU_AVX (1ull << 6)
#define KVN_CPU_AVX2 (1ull << 7)
#define KVN_CPU_FMA3 (1ull << 8)
#define KVN_CPU_BMI1 (1ull << 9)
#define KVN_CPU_BMI2 (1ull << 10)
#define KVN_CPU_LZCNT (1ull << 11)
#define KVN_CPU_AVX512F (1ull << 12)
#define KVN_CPU_AVX512BW (1ull << 13)
#define KVN_CPU_AVX512DQ (1ull << 14)
#define KVN_CPU_AVX512VL (1ull << 15)

/* Allocates length bytes aligned to 64 bytes; null when length < 1 or memory is short.
 * Safe to call from several threads at once. */
KVN_API void* kvnMalloc(int32_t length);

/* Releases a block obtained from kvnMalloc; a null pointer is ignored. */
KVN_API void kvnFree(void* ptr);

/* The smallest address not below ptr that is a multiple of alignBytes (a power of two). */
KVN_API void* kvnAlignPtr(void* ptr, int32_t alignBytes);

/* Writes the size in bytes of the largest processor cache.
 * KVN_STS_NULL_PTR for a null pointer, KVN_STS_ERR when it cannot be determined. */
KVN_API KvnResult kvnGetMaxCacheSizeB(int32_t* pSizeByte);

/* The number of hardware threads of the machine, at least 1. */
KVN_API int32_t ownGetNumThreads(void);

/* The KVN_CPU_* features that are present and enabled. */
KVN_API uint64_t kvnGetEnabledCpuFeatures(void);

#ifdef __cplusplus
}
#endif

#endif /* KVNCORE_H */
