// NAL units of the sample encoder: an RBSP written with the support library's
// bit writer, closed with rbsp_trailing_bits, escaped (emulation prevention,
// H.264 7.4.1) and appended to an Annex B byte stream.
#pragma once

#include <cstdint>
#include <vector>

#include "cavlc_writer.h"

namespace h264enc {

enum NalType { kNalSlice = 1, kNalIdr = 5, kNalSps = 7, kNalPps = 8 };

// The bits written so far, the last byte padded with zeros.
std::vector<uint8_t> written_bytes(const kvnvlc::BitWriter& w);
// The RBSP's bytes after rbsp_trailing_bits.
std::vector<uint8_t> rbsp_bytes(const kvnvlc::BitWriter& w);

// Appends a start code, the NAL header and the escaped payload to out.
void append_nal(std::vector<uint8_t>& out, int refIdc, NalType type, const std::vector<uint8_t>& rbsp);

}  // namespace h264enc
