// MPEG-4 Visual headers (ISO/IEC 14496-2 6.2.3 to 6.2.5): the video object
// layer and the video object plane, and the video packet header of 6.2.5.2.
#pragma once

#include <cstdint>
#include <string>

#include "bitreader.h"

namespace mpeg4dec {

// Start code values (the byte after 00 00 01).
inline constexpr int kVolFirst = 0x20, kVolLast = 0x2F, kVosStart = 0xB0, kGovStart = 0xB3, kVopStart = 0xB6;

struct Vol {
  int verid = 1;
  int timeResolution = 1, timeBits = 1;
  int width = 0, height = 0;
  bool mpegQuant = false;
  uint8_t intraMatrix[64] = {}, interMatrix[64] = {};  // raster order
  bool resyncMarkers = false;
};

enum VopType { kVopI = 0, kVopP = 1, kVopB = 2, kVopS = 3 };

struct Vop {
  int type = kVopI;
  int moduloTime = 0, timeIncrement = 0;
  bool coded = true;
  int rounding = 0;
  int dcThreshold = 0;  // intra DC coded with the AC codes from this quantiser on
  int quant = 1;
  int fcodeF = 1, fcodeB = 1;
};

// Each returns "" or what is wrong ("unsupported: ..." for valid streams
// with tools the decoder lacks).
std::string parse_vol(BitReader& b, Vol& vol);
std::string parse_vop(BitReader& b, const Vol& vol, Vop& vop);

// Bits of the resync marker's zeros for the VOP (ISO/IEC 14496-2 6.3.5.2).
int resync_zeros(const Vop& vop);
// At a macroblock's start: stuffing to the byte boundary and a resync marker
// follow. Does not move.
bool resync_marker_next(const BitReader& b, const Vop& vop);
// Reads the stuffing, the marker and the video packet header; returns the
// first macroblock's number or -1. `quant` receives quant_scale.
int parse_packet_header(BitReader& b, const Vol& vol, Vop& vop, int mbCount, int& quant);

}  // namespace mpeg4dec
