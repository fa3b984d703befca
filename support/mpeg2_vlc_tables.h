// The MPEG-1/MPEG-2 variable-length codes of the intra DC sizes and the DCT
// coefficients (ISO/IEC 13818-2 Tables B-12 to B-15; B-12, B-13 and B-14 are
// also ISO/IEC 11172-2's Tables B.5a-f), and their source tables in the
// format the library's table builders take:
//
//   [0] unused; [1] S, the lookup stages; [2 .. S+1] the bits of each stage;
//   then for code lengths 1, 2, 3, ... a count and that many entries, ended
//   by a negative count. Entries (code, value) for the dct_dc_size tables,
//   (code, run, level) for the DCT coefficient tables; run 254 end of block,
//   255 escape.
//
// Part of the support library of the sample programs, tests and benchmarks.
#pragma once

#include <cstdint>
#include <vector>

namespace kvnsupport {

constexpr int kMpeg2EndOfBlock = 254;
constexpr int kMpeg2Escape = 255;

// A codeword of len bits (right-aligned in code), its run and level (the
// dct_dc_size codes: the size in run, level 0).
struct Mpeg2Vlc {
  int len;
  uint32_t code;
  int run;
  int level;
};

enum class Mpeg2DctTable {
  kB14First,  // Table B-14 for the first coefficient of a non-intra block: 1s is run 0, level +-1; no end of block
  kB14,       // Table B-14 for the other coefficients (and MPEG-1)
  kB15,       // Table B-15 (intra blocks with intra_vlc_format 1)
};

// Every code of a table, levels of both signs (s = 0 positive, 1 negative),
// with the escape and, except for kB14First, the end of block.
std::vector<Mpeg2Vlc> mpeg2_dct_codes(Mpeg2DctTable table);
// dct_dc_size_luminance (Table B-12) or dct_dc_size_chrominance (B-13), sizes 0..11.
std::vector<Mpeg2Vlc> mpeg2_dc_size_codes(bool chroma);

// A source table of the codes with the given stage widths; runLevel: entries
// (code, run, level), else (code, run).
std::vector<int32_t> mpeg2_source_table(const std::vector<Mpeg2Vlc>& codes, const std::vector<int>& stages,
                                        bool runLevel);
// The source tables of the standard codes (default stages: 8 + 9 bits for the
// DCT coefficients, one stage of 9 or 10 bits for the DC sizes).
std::vector<int32_t> mpeg2_dct_source(Mpeg2DctTable table, const std::vector<int>& stages = {8, 9});
std::vector<int32_t> mpeg2_dc_size_source(bool chroma, const std::vector<int>& stages = {});

// (code, length) pairs by dct_dc_size, as the intra block writer takes them.
std::vector<int32_t> mpeg2_dc_size_writer_table(bool chroma);

// The MPEG-1/MPEG-2 zigzag and alternate scans (ISO/IEC 13818-2 Figure 7-2,
// 7-3): raster index by scan position.
extern const int32_t kMpeg2Zigzag[64];
extern const int32_t kMpeg2Alternate[64];

}  // namespace kvnsupport
