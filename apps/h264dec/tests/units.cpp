// Unit checks of the decoder's own layers: Annex B splitting, emulation
// prevention removal, the header bit reader, MD5, scaling-list fall-back,
// what decode_nal reports for redundant, damaged and unsupported units, and
// I_PCM in a CABAC slice (which x264 does not write).
#include <kvnvc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitstream.h"
#include "decoder.h"
#include "output.h"
#include "params.h"

namespace {

int failures = 0;
void expect(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    ++failures;
  }
}

std::string md5_of(const std::string& s) {
  h264dec::Md5 m;
  m.update(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  return m.hex();
}

// Writes one NAL unit: header byte, RBSP bits, stop bit; emulation
// prevention bytes are inserted by bytes().
struct NalWriter {
  std::vector<uint8_t> rbsp;
  int nbits = 0;
  uint8_t header;
  explicit NalWriter(int refIdc, int type) : header(uint8_t(refIdc << 5 | type)) {}
  void u(int n, uint32_t v) {
    for (int i = n - 1; i >= 0; --i) {
      if (nbits % 8 == 0) rbsp.push_back(0);
      rbsp.back() |= uint8_t(((v >> i) & 1) << (7 - nbits % 8));
      ++nbits;
    }
  }
  void ue(uint32_t v) {
    int len = 0;
    while ((v + 1) >> (len + 1)) ++len;
    u(len, 0);
    u(len + 1, v + 1);
  }
  void se(int v) { ue(v > 0 ? 2 * uint32_t(v) - 1 : 2 * uint32_t(-v)); }
  h264dec::NalUnit nal() {
    u(1, 1);
    while (nbits % 8) u(1, 0);
    return wrap();
  }
  // The RBSP as it is (a CABAC slice ends with its own stop bit).
  h264dec::NalUnit wrap() {
    std::vector<uint8_t> b{header};
    int zeros = 0;
    for (uint8_t x : rbsp) {
      if (zeros == 2 && x <= 3) {
        b.push_back(3);
        zeros = 0;
      }
      zeros = x == 0 ? zeros + 1 : 0;
      b.push_back(x);
    }
    h264dec::NalUnit n;
    h264dec::make_nal(b.data(), b.size(), n);
    return n;
  }
};

// Baseline SPS of a picture one macroblock high: pic_order_cnt_type 2, one
// reference frame.
h264dec::NalUnit sps_16x16(int widthMbs = 1) {
  NalWriter w(3, 7);
  w.u(8, 66);  // profile_idc
  w.u(8, 0);
  w.u(8, 30);                    // level_idc
  w.ue(0);                       // seq_parameter_set_id
  w.ue(0);                       // log2_max_frame_num_minus4
  w.ue(2);                       // pic_order_cnt_type
  w.ue(1);                       // max_num_ref_frames
  w.u(1, 0);                     // gaps_in_frame_num_value_allowed_flag
  w.ue(uint32_t(widthMbs - 1));  // pic_width_in_mbs_minus1
  w.ue(0);                       // pic_height_in_map_units_minus1
  w.u(1, 1);                     // frame_mbs_only_flag
  w.u(1, 1);                     // direct_8x8_inference_flag
  w.u(1, 0);                     // frame_cropping_flag
  w.u(1, 0);                     // vui_parameters_present_flag
  return w.nal();
}

h264dec::NalUnit pps(int id, bool cabac, bool redundantPicCnt, bool sliceGroups = false) {
  NalWriter w(3, 8);
  w.ue(uint32_t(id));
  w.ue(0);            // seq_parameter_set_id
  w.u(1, cabac);      // entropy_coding_mode_flag
  w.u(1, 0);          // bottom_field_pic_order_in_frame_present_flag
  w.ue(sliceGroups);  // num_slice_groups_minus1
  if (sliceGroups) return w.nal();
  w.ue(0);                  // num_ref_idx_l0_default_active_minus1
  w.ue(0);                  // num_ref_idx_l1_default_active_minus1
  w.u(1, 0);                // weighted_pred_flag
  w.u(2, 0);                // weighted_bipred_idc
  w.se(0);                  // pic_init_qp_minus26
  w.se(0);                  // pic_init_qs_minus26
  w.se(0);                  // chroma_qp_index_offset
  w.u(1, 0);                // deblocking_filter_control_present_flag
  w.u(1, 0);                // constrained_intra_pred_flag
  w.u(1, redundantPicCnt);  // redundant_pic_cnt_present_flag
  return w.nal();
}

// IDR slice holding one I_16x16 macroblock with DC prediction and no
// residual: with no neighbours every sample is 128. redundantPicCnt < 0
// leaves the syntax element out (PPS without redundant_pic_cnt).
h264dec::NalUnit idr_slice(int ppsId, int redundantPicCnt) {
  NalWriter w(3, 5);
  w.ue(0);  // first_mb_in_slice
  w.ue(7);  // slice_type: I (all slices)
  w.ue(uint32_t(ppsId));
  w.u(4, 0);  // frame_num
  w.ue(0);    // idr_pic_id
  if (redundantPicCnt >= 0) w.ue(uint32_t(redundantPicCnt));
  w.u(1, 0);  // no_output_of_prior_pics_flag
  w.u(1, 0);  // long_term_reference_flag
  w.se(0);    // slice_qp_delta
  w.ue(3);    // mb_type I_16x16_2_0_0: DC, no coded residual blocks
  w.ue(0);    // intra_chroma_pred_mode: DC
  w.se(0);    // mb_qp_delta
  w.u(1, 1);  // Intra16x16DCLevel coeff_token: TotalCoeff 0 (nC 0)
  return w.nal();
}

// CABAC IDR slice of two macroblocks coded with the library's CABAC
// encoder: I_PCM with the given samples, then I_16x16 with DC prediction and
// no residual, predicted from the PCM samples on its left.
h264dec::NalUnit cabac_pcm_slice(const std::vector<uint8_t>& pcm) {
  NalWriter w(3, 5);
  w.ue(0);  // first_mb_in_slice
  w.ue(7);  // slice_type: I
  w.ue(0);  // pic_parameter_set_id
  w.u(4, 0);
  w.ue(0);  // idr_pic_id
  w.u(1, 0);
  w.u(1, 0);
  w.se(0);  // slice_qp_delta
  std::vector<uint8_t> buf(4096, 0);
  std::memcpy(buf.data(), w.rbsp.data(), w.rbsp.size());
  std::vector<uint8_t> state(504);
  Kvn32u bytes = 0;
  auto bin = [&](int ctx, int b) { kvniCABACEncodeBin_H264(Kvn32u(ctx), Kvn32u(b), state.data()); };
  kvniCABACInit_H264(state.data(), buf.data(), Kvn32u(w.nbits), Kvn32u(buf.size()), 26, -1);
  bin(3, 1);    // mb_type bin 0: not I_NxN (no neighbours)
  bin(276, 1);  // I_PCM; the engine's final bits, then pcm_alignment_zero_bit
  kvniCABACTerminateSlice_H264(&bytes, state.data());
  std::memcpy(buf.data() + bytes, pcm.data(), pcm.size());
  bytes += Kvn32u(pcm.size());
  // The engine starts again after the samples. The contexts go on, but the
  // second macroblock uses none that the first one changed.
  kvniCABACInit_H264(state.data(), buf.data(), bytes * 8, Kvn32u(buf.size()), 26, -1);
  bin(276, 0);  // end_of_slice_flag
  bin(4, 1);    // mb_type bin 0, left neighbour not I_NxN
  bin(276, 0);  // not I_PCM
  bin(6, 0);    // no luma AC
  bin(7, 0);    // no chroma
  bin(9, 1);    // prediction mode 2 (DC)
  bin(10, 0);
  bin(64, 0);   // intra_chroma_pred_mode DC
  bin(60, 0);   // mb_qp_delta 0
  bin(88, 0);   // coded_block_flag of the DC block: neighbours I_PCM and unavailable (intra)
  bin(276, 1);  // end_of_slice_flag
  kvniCABACTerminateSlice_H264(&bytes, state.data());
  w.rbsp.assign(buf.begin(), buf.begin() + bytes);
  return w.wrap();
}

}  // namespace

int main() {
  using namespace h264dec;
  // Start codes of 3 and 4 bytes, trailing zero bytes dropped, empty units skipped.
  {
    const uint8_t s[] = {0, 0, 0, 1, 0x67, 1, 2, 0, 0, 0, 1, 0x68, 3, 0, 0, 1, 0, 0, 1, 0x65, 0, 0};
    auto units = split_annexb(s, sizeof s);
    expect(units.size() == 3, "three NAL units");
    expect(units.size() == 3 && units[0].second == 3 && units[1].second == 2 && units[2].second == 1,
           "unit lengths without trailing zeros");
  }
  // Emulation prevention: 00 00 03 xx loses the 03; the stop bit ends the data.
  {
    const uint8_t p[] = {0x65, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x03, 0x00, 0x80};
    NalUnit nal;
    expect(make_nal(p, sizeof p, nal), "make_nal");
    expect(nal.type == 5 && nal.refIdc == 3, "NAL header");
    expect(nal.words[0] == 0x00000100u && (nal.words[1] >> 24) == 0x00, "03 bytes removed");
    expect(nal.bits == 6 * 8, "data ends before the stop bit");
    const uint8_t forbidden[] = {0x80};
    expect(!make_nal(forbidden, 1, nal), "forbidden_zero_bit refused");
  }
  // Emulation prevention on runs of zeros and threes: the removed 03 bytes are
  // those after two zero bytes of the output, as a byte-by-byte reading gives.
  {
    uint32_t seed = 12345;
    bool same = true;
    for (int t = 0; t < 2000 && same; ++t) {
      std::vector<uint8_t> p{0x65};
      const int len = 1 + t % 40;
      for (int i = 0; i < len; ++i) {
        seed = seed * 1664525u + 1013904223u;
        static const uint8_t kBytes[4] = {0x00, 0x03, 0x01, 0x80};
        p.push_back(kBytes[(seed >> 16) & 3]);
      }
      std::vector<uint8_t> want;
      int zeros = 0;
      for (size_t i = 1; i < p.size(); ++i) {
        if (zeros >= 2 && p[i] == 3) {
          zeros = 0;
          continue;
        }
        zeros = p[i] == 0 ? zeros + 1 : 0;
        want.push_back(p[i]);
      }
      NalUnit nal;
      make_nal(p.data(), p.size(), nal);
      same = nal.bytes == want;
      for (size_t i = 0; same && i < want.size(); ++i)
        same = (nal.words[i / 4] >> (24 - 8 * (i % 4)) & 0xFF) == want[i];
    }
    expect(same, "emulation prevention bytes removed as byte by byte");
  }
  // Exp-Golomb: 1 -> 0, 010 -> 1, 011 -> 2, 00100 -> 3; se 010 -> +1, 011 -> -1;
  // reads across a word boundary; more_rbsp_data stops at the stop bit.
  {
    const uint8_t p[] = {0x01, 0xA6, 0x44, 0xC0, 0x00, 0x7F, 0xFF, 0xF0};
    NalUnit nal;
    make_nal(p, sizeof p, nal);
    BitReader br;
    br.init(nal);
    expect(br.ue() == 0 && br.ue() == 1 && br.ue() == 2 && br.ue() == 3, "ue(v)");
    expect(br.se() == 1 && br.se() == -1, "se(v)");
    expect(br.u(3) == 0 && br.u(20) == 0xFF, "u(n) across a word boundary");
    expect(br.more_rbsp_data(), "data before the stop bit");
    br.u(int(br.left()));
    expect(!br.more_rbsp_data() && !br.overrun(), "at the stop bit");
    for (int i = 0; i < 5000; ++i) br.u(32);  // far past the data: no read beyond the buffer
    expect(br.fail && br.overrun(), "overrun flagged");
  }
  // ue(v) at every bit offset, on both sides of the 31-bit codes read at once
  // and of the word boundaries; a code running past the data is an overrun.
  {
    const uint32_t values[] = {0, 1, 2, 6, 254, 65533, 65534, 65535, 1000000, 7};
    bool ok = true;
    for (int lead = 0; lead < 32 && ok; ++lead) {
      NalWriter w(0, 1);
      w.u(lead, 0);
      for (uint32_t v : values) w.ue(v);
      h264dec::NalUnit nal = w.nal();
      BitReader br;
      br.init(nal);
      br.u(lead);
      for (uint32_t v : values) ok = ok && br.ue() == v && !br.fail;
      ok = ok && !br.more_rbsp_data();
    }
    expect(ok, "ue(v) of short and long codes at any position");
    NalWriter w(0, 1);
    w.u(3, 0);  // three zeros, then the stop bit: the code has no end
    h264dec::NalUnit nal = w.nal();
    BitReader br;
    br.init(nal);
    br.ue();
    expect(br.overrun(), "ue(v) past the data overruns");
  }
  // MD5 test vectors (RFC 1321).
  expect(md5_of("") == "d41d8cd98f00b204e9800998ecf8427e", "md5 of the empty string");
  expect(md5_of("abc") == "900150983cd24fb0d6963f7d28e17f72", "md5 of abc");
  expect(md5_of(std::string(1000, 'a')) == "cabe45dcc9ae5b66ba86600cca6b8ba8", "md5 of 1000 bytes");
  // Scaling lists: no lists anywhere is flat 16; a PPS without an SPS list uses
  // fall-back rule A (defaults), so an absent list 0 is Default_4x4_Intra.
  {
    Sps sps;
    Pps pps;
    resolve_scaling(sps, pps);
    bool flat = true;
    for (auto& l : pps.scaling.l4)
      for (uint8_t v : l) flat = flat && v == 16;
    expect(flat, "flat lists by default");
    pps.scalingPresent = true;
    std::memset(pps.rawPresent, 0, sizeof pps.rawPresent);
    resolve_scaling(sps, pps);
    expect(pps.scaling.l4[0][0] == 6 && pps.scaling.l4[0][15] == 42 && pps.scaling.l4[3][0] == 10 &&
               pps.scaling.l8[1][63] == 35,
           "fall-back rule A gives the default lists");
  }
  // decode_nal: a redundant coded slice is ignored without an error; a
  // damaged unit is reported and skipped; an unsupported one is fatal and
  // every unit after it is ignored.
  {
    std::vector<std::vector<uint8_t>> frames;
    Decoder dec([&](const Frame& f, const Sps& sps) {
      frames.emplace_back();
      frame_bytes(f, sps, frames.back());
    });
    NalUnit n = sps_16x16();
    expect(dec.decode_nal(n).ok(), "SPS accepted");
    n = pps(0, false, true);
    expect(dec.decode_nal(n).ok(), "PPS accepted");
    n = idr_slice(0, 1);
    Status st = dec.decode_nal(n);
    expect(st.ok() && dec.frames_decoded() == 0, "redundant slice ignored without an error");
    n = idr_slice(7, 0);
    st = dec.decode_nal(n);
    expect(st.kind == Status::Kind::kSkip && st.message() == "slice refers to a missing PPS",
           "slice with a missing PPS skipped with its message");
    n = idr_slice(0, 0);
    expect(dec.decode_nal(n).ok(), "primary slice decoded");
    n = pps(1, false, false, true);
    st = dec.decode_nal(n);
    expect(st.fatal() && st.message() == "unsupported: slice groups (FMO)", "PPS with slice groups is fatal");
    n = idr_slice(0, 0);
    expect(dec.decode_nal(n).ok(), "units after a fatal error are ignored");
    dec.flush();
    expect(dec.frames_decoded() == 1 && frames.size() == 1, "one frame decoded");
    bool gray = frames.size() == 1 && frames[0].size() == 384;
    for (size_t i = 0; gray && i < frames[0].size(); ++i) gray = frames[0][i] == 128;
    expect(gray, "the decoded frame is the DC prediction, 128 everywhere");
  }
  // I_PCM in a CABAC slice: the samples start at the byte after the engine's
  // last bit, and the engine starts again after them for the next macroblock.
  {
    std::vector<std::vector<uint8_t>> frames;
    Decoder dec([&](const Frame& f, const Sps& sps) {
      frames.emplace_back();
      frame_bytes(f, sps, frames.back());
    });
    std::vector<uint8_t> pcm(384);
    for (int i = 0; i < 256; ++i) pcm[size_t(i)] = uint8_t(10 * (i / 16) + i % 16);  // row y: 10 y + x
    for (int i = 0; i < 64; ++i) pcm[size_t(256 + i)] = uint8_t(40 + i);
    for (int i = 0; i < 64; ++i) pcm[size_t(320 + i)] = 200;
    NalUnit n = sps_16x16(2);
    dec.decode_nal(n);
    n = pps(0, true, false);
    expect(dec.decode_nal(n).ok(), "CABAC PPS accepted");
    n = cabac_pcm_slice(pcm);
    Status st = dec.decode_nal(n);
    expect(st.ok(), "CABAC slice with I_PCM decoded");
    dec.flush();
    bool same = frames.size() == 1 && frames[0].size() == 768;
    for (int y = 0; same && y < 16; ++y) {
      for (int x = 0; x < 16; ++x) same = same && frames[0][size_t(y * 32 + x)] == pcm[size_t(y * 16 + x)];
      // DC prediction from the left column: (sum of 10 y + 15 + 8) >> 4 = 90
      for (int x = 16; x < 32; ++x) same = same && frames[0][size_t(y * 32 + x)] == 90;
    }
    for (int y = 0; same && y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        same =
            same && frames[0][size_t(512 + y * 16 + x)] == 40 + y * 8 + x && frames[0][size_t(640 + y * 16 + x)] == 200;
    expect(same, "PCM samples and the macroblock after them");
  }
  // A failed library call keeps its status code in the message.
  expect(Status::skip("reconstruction failed", -7).message() == "reconstruction failed (status -7)",
         "status code in the message");
  std::printf("%s\n", failures ? "units: FAILED" : "units: all passed");
  return failures ? 1 : 0;
}
