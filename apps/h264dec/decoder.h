// The decoder: slice and picture control, macroblock layer, prediction and
// reconstruction through the kvnVC library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bitstream.h"
#include "frame.h"
#include "params.h"
#include "picture.h"
#include "status.h"
#include "vlc.h"

namespace h264dec {

// Per-slice values that outlive the slice (deblocking runs per picture).
struct SliceInfo {
  int disableDeblock = 0, alphaOffset = 0, betaOffset = 0;
  int chromaQpOffset[2] = {0, 0};
  int type = kI;
};

// Output sink: one decoded frame in display order plus the cropping window.
using FrameSink = std::function<void(const Frame&, const Sps&)>;

class Decoder {
 public:
  explicit Decoder(FrameSink sink);
  ~Decoder();
  Decoder(const Decoder&) = delete;  // pic_ calls back into this object
  Decoder& operator=(const Decoder&) = delete;
  // Decodes one NAL unit. Returns success or an error: unsupported ones are
  // fatal for the stream (later units are ignored), others only skip the unit.
  Status decode_nal(NalUnit& nal);
  // Finishes the current picture and outputs every waiting frame.
  void flush();
  int frames_decoded() const { return decodedCount_; }
  // Largest picture accepted, in macroblocks (streams above it are refused
  // as unsupported); the default admits 8192x4320.
  void set_max_macroblocks(int n) { maxMbs_ = n; }

 private:
  // picture control (decoder.cpp)
  Status start_picture(const SliceHeader& sh, const Pps& pps, const Sps& sps);
  void finish_picture();
  void compute_poc(const SliceHeader& sh, const Sps& sps);
  // reference lists and marking (dpb.cpp)
  bool build_ref_lists(const SliceHeader& sh);
  void mark_references();
  void sliding_window();
  void output_ready(bool flushAll);
  Frame* new_frame();
  void release_unused();
  void flush_output();
  // deblocking (deblock.cpp)
  void deblock_picture();
  void deblock_rows(int endRow);  // filters rows deblockedRows_ .. endRow - 1
  void row_decoded(int y);        // macroblock row y is complete
  template <typename Pel>
  void deblock_mb(int mbx, int mby);
  void inter_bs(uint8_t* out, const MbState& q, const MbState* p, int mbx, int mby, int dir, bool oddEdges) const;

  FrameSink sink_;
  Sps sps_[32];
  Pps pps_[256];
  VlcTables vlc_;
  Sps active_;
  bool haveActive_ = false;

  std::vector<std::unique_ptr<Frame>> dpb_;  // every frame held: references and frames awaiting output
  int nextId_ = 1;
  int decodedCount_ = 0;

  // current picture
  SliceHeader firstSh_;  // header of the picture's first slice
  int sliceCount_ = 0;
  std::vector<SliceInfo> slices_;
  PictureContext pic_;  // what the slice decoder reads and writes; pic_.cur is the frame being decoded
  int bitDepth_ = 8;
  int chromaFormat_ = 1;
  bool picHasMmco5_ = false;
  bool curIdr_ = false;
  bool curRef_ = false;
  bool curLongTerm_ = false;

  // POC state
  int prevPocMsb_ = 0, prevPocLsb_ = 0;
  int prevFrameNumOffset_ = 0, prevFrameNum_ = 0;
  int frameNumOffset_ = 0;
  int curPocMsb_ = 0, curTop_ = 0, curBottom_ = 0;
  int prevRefFrameNum_ = 0;
  bool havePrevRef_ = false;

  // marking of the current picture (first slice's commands)
  int maxLongTermIdx_ = -1;  // "no long-term frame indices"
  std::vector<Frame*> outQueue_;
  int lastOutputPoc_ = 0;
  bool fatal_ = false;
  int maxMbs_ = 139264;
  int deblockedRows_ = 0;
  int completeRows_ = 0;  // rows 0 .. completeRows_ - 1 are all decoded
};

}  // namespace h264dec
