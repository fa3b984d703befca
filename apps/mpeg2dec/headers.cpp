#include "headers.h"

#include <cstring>

#include "mpeg2_syntax_tables.h"
#include "mpeg2_vlc_tables.h"

namespace mpeg2dec {
namespace {

// A quantiser matrix as transmitted: 64 bytes in zigzag order (6.3.11).
void read_matrix(Bits& b, uint8_t* m) {
  for (int i = 0; i < 64; ++i) m[kvnsupport::kMpeg2Zigzag[i]] = uint8_t(b.u(8));
}

}  // namespace

std::string parse_sequence_header(Bits& b, Sequence& seq) {
  Sequence s = seq;
  s.width = int(b.u(12));
  s.height = int(b.u(12));
  b.skip(4);  // aspect_ratio_information
  // frame_rate_code (Table 6-4): pictures per second as a fraction.
  static constexpr int kRates[9][2] = {{0, 1},  {24000, 1001}, {24, 1},       {25, 1}, {30000, 1001},
                                       {30, 1}, {50, 1},       {60000, 1001}, {60, 1}};
  const uint32_t rate = b.u(4);
  s.rateNum = rate < 9 ? kRates[rate][0] : 0, s.rateDen = rate < 9 ? kRates[rate][1] : 1;
  b.skip(18);      // bit_rate_value
  b.u1();          // marker_bit
  b.skip(10 + 1);  // vbv_buffer_size_value, constrained_parameters_flag
  if (b.u1())
    read_matrix(b, s.matrix[0]);
  else
    std::memcpy(s.matrix[0], kvnsupport::kMpeg2DefaultIntraMatrix, 64);
  if (b.u1())
    read_matrix(b, s.matrix[1]);
  else
    std::memset(s.matrix[1], 16, 64);
  if (b.overrun()) return "truncated sequence header";
  if (s.width == 0 || s.height == 0) return "picture size 0";
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 64; ++i)
      if (s.matrix[k][i] == 0) return "quantiser matrix entry 0";
  // Until a sequence_extension says otherwise, the stream is 11172-2.
  s.mpeg2 = false;
  s.chromaFormat = 1;
  s.progressive = true;
  s.valid = true;
  seq = s;
  return "";
}

std::string parse_extension(Bits& b, Sequence& seq, PictureHeader* pic) {
  const uint32_t id = b.u(4);
  if (id == 1) {  // sequence_extension
    b.skip(8);    // profile_and_level_indication
    seq.progressive = b.u1();
    seq.chromaFormat = int(b.u(2));
    const int hExt = int(b.u(2)), vExt = int(b.u(2));
    seq.width |= hExt << 12;
    seq.height |= vExt << 12;
    seq.mpeg2 = true;
    if (seq.chromaFormat != 1) return "unsupported: chroma format other than 4:2:0";
    return b.overrun() ? "truncated sequence extension" : "";
  }
  if (id == 3) {  // quant_matrix_extension
    uint8_t m[2][64];
    std::memcpy(m, seq.matrix, sizeof m);
    if (b.u1()) read_matrix(b, m[0]);
    if (b.u1()) read_matrix(b, m[1]);
    // (the chroma matrices that may follow apply to 4:2:2 and 4:4:4 only)
    if (b.overrun()) return "truncated quantiser matrix extension";
    for (int k = 0; k < 2; ++k)
      for (int i = 0; i < 64; ++i)
        if (m[k][i] == 0) return "quantiser matrix entry 0";
    std::memcpy(seq.matrix, m, sizeof m);
    return "";
  }
  if (id == 8 && pic) {  // picture_coding_extension
    PictureHeader& p = *pic;
    for (int s = 0; s < 2; ++s)
      for (int t = 0; t < 2; ++t) p.fCode[s][t] = int(b.u(4));
    p.intraDcPrecision = int(b.u(2));
    p.structure = int(b.u(2));
    p.topFieldFirst = b.u1();
    p.framePredFrameDct = b.u1();
    p.concealmentVectors = b.u1();
    p.qScaleType = b.u1();
    p.intraVlcFormat = b.u1();
    p.alternateScan = b.u1();
    if (b.overrun()) return "truncated picture coding extension";
    if (p.structure != 3) return "unsupported: field pictures";
    if (p.intraDcPrecision == 3) return "unsupported: intra_dc_precision 11 bits";
    return "";
  }
  if (id == 4 || id == 5 || id == 7 || id == 2) return "";  // display, scalable, picture display: ignored
  return "";
}

std::string parse_picture_header(Bits& b, const Sequence& seq, PictureHeader& pic) {
  PictureHeader p;
  p.temporalReference = int(b.u(10));
  p.type = int(b.u(3));
  b.skip(16);  // vbv_delay
  if (p.type == 2 || p.type == 3) {
    p.fullPel[0] = b.u1();
    p.fCode[0][0] = p.fCode[0][1] = int(b.u(3));
  }
  if (p.type == 3) {
    p.fullPel[1] = b.u1();
    p.fCode[1][0] = p.fCode[1][1] = int(b.u(3));
  }
  if (b.overrun()) return "truncated picture header";
  if (p.type < 1 || p.type > 3) return p.type == 4 ? "unsupported: D pictures" : "invalid picture_coding_type";
  if (!seq.mpeg2)
    for (int s = 0; s < 2; ++s)
      if ((p.type == 2 + s || p.type == 3) && p.fCode[s][0] == 0) return "forward/backward_f_code 0";
  pic = p;
  return "";
}

}  // namespace mpeg2dec
