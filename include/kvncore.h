/**
 * @file kvncore.h
 * @brief kvncore: the companion core library of kvnVC.
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
/** Export attribute of the kvncore functions (empty outside the library's own build). */
#define KVN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/**
 * @defgroup core_types Basic types and statuses
 * @ingroup core
 * @brief Sample types, KvnResult and its KVN_STS_* values, KvnSize.
 *
 * Sample and coefficient types are named by the data-type codes of the
 * function names (`8u`, `16s`, ...).
 * @{
 */
typedef uint8_t Kvn8u;   /**< Unsigned 8-bit sample (`8u`). */
typedef int8_t Kvn8s;    /**< Signed 8-bit value (`8s`). */
typedef uint16_t Kvn16u; /**< Unsigned 16-bit sample (`16u`). */
typedef int16_t Kvn16s;  /**< Signed 16-bit sample or coefficient (`16s`). */
typedef uint32_t Kvn32u; /**< Unsigned 32-bit value (`32u`). */
typedef int32_t Kvn32s;  /**< Signed 32-bit value (`32s`). */
typedef uint64_t Kvn64u; /**< Unsigned 64-bit value. */
typedef int64_t Kvn64s;  /**< Signed 64-bit value. */

/**
 * Status of a call: 0 success, negative an error (nothing written unless the
 * function documents otherwise), positive a warning (returned normally with a
 * substitute result or none). Values are the KVN_STS_* constants.
 */
typedef int32_t KvnResult;

/** The KvnResult values. No function returns any other value. */
enum {
  KVN_STS_OK = 0,                   /**< Success. */
  KVN_STS_WRN_NOTHING_DONE = 1,     /**< Mode selector outside its set; no output. */
  KVN_STS_WRN_MISALIGNED = 2,       /**< Misaligned buffer; nothing done. */
  KVN_STS_WRN_SUBSTITUTE = 11,      /**< Unavailable samples replaced by a substitute. */
  KVN_STS_WRN_ODD_SIZE = 35,        /**< Odd width or height; even part processed. */
  KVN_STS_ERR = -2,                 /**< General error. */
  KVN_STS_NO_MEMORY = -4,           /**< Not enough memory. */
  KVN_STS_BAD_ARG = -5,             /**< Fractional position, bit offset, mode or category outside its set. */
  KVN_STS_SIZE_ERR = -6,            /**< Size below its minimum or outside its set. */
  KVN_STS_NULL_PTR = -8,            /**< A required pointer is null. */
  KVN_STS_MEM_ALLOC = -9,           /**< Memory allocation failed. */
  KVN_STS_DIV_BY_ZERO = -10,        /**< Zero divisor. */
  KVN_STS_OUT_OF_RANGE = -11,       /**< Numeric argument outside its range. */
  KVN_STS_LEVEL_RANGE = -13,        /**< Quantised level magnitude above 2063. */
  KVN_STS_STEP_ERR = -14,           /**< Row step below 1 or below the block width. */
  KVN_STS_CONTEXT_MISMATCH = -17,   /**< State object without its identification word. */
  KVN_STS_INTERPOLATION_ERR = -22,  /**< Interpolation selector neither 1 nor 2. */
  KVN_STS_RESIZE_FACTOR_ERR = -23,  /**< Resize factor not 2, 4 or 8. */
  KVN_STS_VLC_CODE_ERR = -74,       /**< Invalid H.264 CAVLC or MPEG-1/2 code. */
  KVN_STS_INTRA_UNAVAILABLE = -117, /**< Intra prediction needs an unavailable neighbour. */
  KVN_STS_CODE_ERR = -191,          /**< Illegal H.261/H.263/MPEG-4 VLC or DC code. */
  KVN_STS_QP_ERR = -192,            /**< Quantiser or scaling argument outside its range. */
  KVN_STS_BIT_OFFSET_ERR = -193,    /**< Byte bit position offset above 7. */
  KVN_STS_OUT_OF_BUFFER = -223      /**< CABAC output buffer full. */
};

/** Region size in samples, passed by value. */
typedef struct KvnSize {
  int32_t width;  /**< Width in samples. */
  int32_t height; /**< Height in samples (rows). */
} KvnSize;

/** @} */

/**
 * @defgroup core_services Memory, cache, threads and CPU features
 * @ingroup core
 * @brief The kvncore services: allocation, alignment, cache size, thread count, CPU features.
 *
 * kvnMalloc() and kvnFree() back every InitAlloc function of kvnVC (the
 * CABAC state, the MPEG-1/2 VLC tables); they may be called from several
 * threads at once.
 * @{
 */

/**
 * @name CPU feature bits
 * Bits of kvnGetEnabledCpuFeatures(). A bit is set only when the processor
 * has the feature and the operating system saves the registers it uses.
 * @{
 */
#define KVN_CPU_SSE2 (1ull << 0)      /**< SSE2. */
#define KVN_CPU_SSE3 (1ull << 1)      /**< SSE3. */
#define KVN_CPU_SSSE3 (1ull << 2)     /**< SSSE3. */
#define KVN_CPU_SSE41 (1ull << 3)     /**< SSE4.1. */
#define KVN_CPU_SSE42 (1ull << 4)     /**< SSE4.2. */
#define KVN_CPU_POPCNT (1ull << 5)    /**< POPCNT. */
#define KVN_CPU_AVX (1ull << 6)       /**< AVX. */
#define KVN_CPU_AVX2 (1ull << 7)      /**< AVX2. */
#define KVN_CPU_FMA3 (1ull << 8)      /**< FMA3. */
#define KVN_CPU_BMI1 (1ull << 9)      /**< BMI1. */
#define KVN_CPU_BMI2 (1ull << 10)     /**< BMI2. */
#define KVN_CPU_LZCNT (1ull << 11)    /**< LZCNT. */
#define KVN_CPU_AVX512F (1ull << 12)  /**< AVX-512 Foundation. */
#define KVN_CPU_AVX512BW (1ull << 13) /**< AVX-512 BW. */
#define KVN_CPU_AVX512DQ (1ull << 14) /**< AVX-512 DQ. */
#define KVN_CPU_AVX512VL (1ull << 15) /**< AVX-512 VL. */
/** @} */

/**
 * Allocates length bytes aligned to 64 bytes.
 * Safe to call from several threads at once.
 * @param length Size in bytes, at least 1.
 * @return The block, to be released with kvnFree(); null when length < 1 or memory is short.
 */
KVN_API void* kvnMalloc(int32_t length);

/**
 * Releases a block obtained from kvnMalloc().
 * @param ptr The block; a null pointer is ignored.
 */
KVN_API void kvnFree(void* ptr);

/**
 * Rounds a pointer up to an alignment.
 * @param ptr Address to round.
 * @param alignBytes Alignment in bytes, a power of two (other values round
 *        arithmetically; 1 or less returns ptr unchanged).
 * @return The smallest address not below ptr that is a multiple of alignBytes.
 */
KVN_API void* kvnAlignPtr(void* ptr, int32_t alignBytes);

/**
 * Writes the size in bytes of the largest processor cache.
 * @param[out] pSizeByte Receives the size in bytes (capped at INT32_MAX).
 * @return KVN_STS_NULL_PTR for a null pointer; KVN_STS_ERR when the size cannot
 *         be determined (nothing written); else KVN_STS_OK.
 */
KVN_API KvnResult kvnGetMaxCacheSizeB(int32_t* pSizeByte);

/**
 * The number of hardware threads of the machine.
 * @return The thread count, at least 1.
 */
KVN_API int32_t ownGetNumThreads(void);

/**
 * The processor features that are present and enabled.
 * kvnVC asks once at load time to pick its kernels.
 * @return A mask of KVN_CPU_* bits.
 */
KVN_API uint64_t kvnGetEnabledCpuFeatures(void);

/** @} */

#ifdef __cplusplus
}
#endif

#endif /* KVNCORE_H */
