// kvnvc-dvdec's decoder: raw DV (DIF) streams of 525/60 and 625/50 systems,
// DV25 (4:1:1, 4:2:0), 50 Mbit/s 4:2:2 and DVCPRO HD (DV100: 1080i and 720p,
// 4:2:2). The DIF framing, the placement of the macroblocks of each video
// segment (the superblock shuffling of IEC 61834-2, SMPTE 314M and SMPTE
// 370M), the dequantisation tables and the picture are the application's;
// segment decoding, dequantisation and the inverse DCTs (8-8 and 2-4-8) are
// the library's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dvdec {

enum class Chroma { k420, k411, k422 };

// One decoded picture, planar 8-bit.
struct Frame {
  int width = 0, height = 0;
  Chroma chroma = Chroma::k420;
  int chromaWidth = 0, chromaHeight = 0;
  int rateNum = 0, rateDen = 1;
  std::vector<uint8_t> y, cb, cr;
};

// The frame format a header block announces.
struct Profile {
  int width, height;
  Chroma chroma;
  int sequences;  // DIF sequences per channel
  int channels;
  int rateNum, rateDen;
  int hdLines;  // DV100: 1080 or 720; 0 for the standard-definition formats
  size_t frame_bytes() const { return size_t(sequences) * channels * 150 * 80; }
};

class Decoder {
 public:
  using Sink = std::function<void(const Frame&)>;
  explicit Decoder(Sink sink);
  // Decodes a whole stream; returns "" or the error that stopped it
  // ("unsupported: ..." for formats the decoder lacks). Frames cut short or
  // damaged are decoded as far as they go and counted.
  std::string decode(const std::vector<uint8_t>& data);
  int errors() const { return errors_; }

 private:
  void decode_frame(const uint8_t* frame, size_t available, const Profile& p);
  void decode_segment(const uint8_t* seg, const Profile& p, int chan, int seq, int slot);
  void decode_segment_hd(const uint8_t* seg, const Profile& p, int chan, int seq, int slot);
  void put_block(int16_t* coef, uint32_t param, uint8_t* dst, int step);
  void put_pair(int16_t* a, uint32_t pa, uint8_t* da, int16_t* b, uint32_t pb, uint8_t* db, int step);
  void put_block_411_edge(int16_t* coef, uint32_t param, uint8_t* dst, int step);

  Sink sink_;
  Frame frame_;
  int errors_ = 0;
};

}  // namespace dvdec
