// NAL unit dispatch, picture boundaries and picture order count (H.264 8.2.1).
#include "decoder.h"

#include <algorithm>
#include <cstring>

#include "slice.h"

namespace h264dec {

Decoder::Decoder(FrameSink sink) : sink_(std::move(sink)) {
  build_vlc_tables(vlc_);
  pic_.vlc = &vlc_;
  pic_.rowDecoded = [this](int y) { row_decoded(y); };
}

Decoder::~Decoder() = default;

void Decoder::flush() {
  if (pic_.cur) finish_picture();
  flush_output();
}

Status Decoder::decode_nal(NalUnit& nal) {
  if (fatal_) return Status::success();
  BitReader br;
  br.init(nal);
  switch (nal.type) {
    case 7: {
      Sps s;
      Status st = parse_sps(br, s);
      if (!st.ok()) {
        if (st.fatal()) fatal_ = true;
        return st;
      }
      sps_[s.id] = s;
      for (auto& p : pps_)  // scaling lists fall back on the new SPS
        if (p.valid && p.spsId == s.id) p.scalingResolved = false;
      return Status::success();
    }
    case 8: {
      Pps p;
      Status st = parse_pps(br, sps_, p);
      if (!st.ok()) {
        if (st.fatal()) fatal_ = true;
        return st;
      }
      pps_[p.id] = p;
      return Status::success();
    }
    case 1:
    case 5: break;
    case 2:
    case 3:
    case 4: fatal_ = true; return Status::unsupported("data partitioning");
    default: return Status::success();  // SEI, delimiters, filler, extensions: ignored
  }
  if (!vlc_.ok) {
    // Reported once as an ordinary error; every later unit is ignored.
    fatal_ = true;
    return Status::skip("CAVLC tables could not be built");
  }
  SliceHeader sh;
  Status st = parse_slice_header(br, nal.type, nal.refIdc, sps_, pps_, sh);
  if (st.kind == Status::Kind::kRedundant) return Status::success();  // redundant coded slices are not decoded
  if (!st.ok()) {
    if (st.fatal()) fatal_ = true;
    return st;
  }
  Pps& pps = pps_[sh.ppsId];
  const Sps& sps = sps_[pps.spsId];
  bool newPic = !pic_.cur || sh.firstMb == 0 || sh.frameNum != firstSh_.frameNum || sh.idr != firstSh_.idr ||
                sh.pocLsb != firstSh_.pocLsb || sh.deltaPocBottom != firstSh_.deltaPocBottom ||
                sh.deltaPoc[0] != firstSh_.deltaPoc[0] || (sh.nalRefIdc == 0) != (firstSh_.nalRefIdc == 0) ||
                (sh.idr && sh.idrPicId != firstSh_.idrPicId);
  if (newPic) {
    if (pic_.cur) finish_picture();
    st = start_picture(sh, pps, sps);
    if (!st.ok()) {
      if (st.fatal()) fatal_ = true;
      return st;
    }
  } else if (sps.widthMbs != active_.widthMbs || sps.heightMbs != active_.heightMbs ||
             sps.chromaFormat != active_.chromaFormat || sps.bitDepthY != active_.bitDepthY) {
    return Status::skip("slice refers to a different SPS than its picture");
  }
  if (!pps.scalingResolved) resolve_scaling(sps, pps);
  if (sh.type != kI && !build_ref_lists(sh)) {
    // decoding continues with substitute references
  }
  if (sh.type == kI) pic_.refCount[0] = pic_.refCount[1] = 0;
  SliceInfo si;
  si.disableDeblock = sh.disableDeblock;
  si.alphaOffset = sh.alphaOffset;
  si.betaOffset = sh.betaOffset;
  si.chromaQpOffset[0] = pps.chromaQpOffset[0];
  si.chromaQpOffset[1] = pps.chromaQpOffset[1];
  si.type = sh.type;
  slices_.push_back(si);
  SliceDecoder dec(pic_, sh, pps, sps, br, nal.bytes, int(slices_.size()) - 1);
  return dec.run();
}

void Decoder::compute_poc(const SliceHeader& sh, const Sps& sps) {
  // 64-bit arithmetic, results kept within +-2^30 so that damaged streams
  // cannot overflow the differences taken later.
  auto clampPoc = [](int64_t v) { return int(v < -(1 << 30) ? -(1 << 30) : v > (1 << 30) ? (1 << 30) : v); };
  const int maxFrameNum = 1 << sps.log2MaxFrameNum;
  int64_t top = 0, bottom = 0;
  if (sps.pocType == 0) {
    if (sh.idr) {
      prevPocMsb_ = 0;
      prevPocLsb_ = 0;
    }
    const int maxLsb = 1 << sps.log2MaxPocLsb;
    int64_t msb;
    if (sh.pocLsb < prevPocLsb_ && prevPocLsb_ - sh.pocLsb >= maxLsb / 2)
      msb = int64_t(prevPocMsb_) + maxLsb;
    else if (sh.pocLsb > prevPocLsb_ && sh.pocLsb - prevPocLsb_ > maxLsb / 2)
      msb = int64_t(prevPocMsb_) - maxLsb;
    else
      msb = prevPocMsb_;
    curPocMsb_ = clampPoc(msb);
    top = int64_t(curPocMsb_) + sh.pocLsb;
    bottom = top + sh.deltaPocBottom;
  } else {
    if (sh.idr)
      frameNumOffset_ = 0;
    else if (prevFrameNum_ > sh.frameNum)
      frameNumOffset_ = clampPoc(int64_t(prevFrameNumOffset_) + maxFrameNum);
    else
      frameNumOffset_ = prevFrameNumOffset_;
    if (sps.pocType == 1) {
      int64_t absFrameNum = sps.numRefFramesInPocCycle != 0 ? int64_t(frameNumOffset_) + sh.frameNum : 0;
      if (sh.nalRefIdc == 0 && absFrameNum > 0) --absFrameNum;
      int64_t expected = 0;
      if (absFrameNum > 0) {
        int64_t cycleCnt = (absFrameNum - 1) / sps.numRefFramesInPocCycle;
        int inCycle = int((absFrameNum - 1) % sps.numRefFramesInPocCycle);
        int64_t deltaPerCycle = 0;
        for (int i = 0; i < sps.numRefFramesInPocCycle; ++i) deltaPerCycle += sps.offsetForRefFrame[i];
        expected = cycleCnt * deltaPerCycle;
        for (int i = 0; i <= inCycle; ++i) expected += sps.offsetForRefFrame[i];
      }
      if (sh.nalRefIdc == 0) expected += sps.offsetForNonRefPic;
      top = expected + sh.deltaPoc[0];
      bottom = top + sps.offsetForTopToBottom + sh.deltaPoc[1];
    } else {
      int64_t fn = int64_t(frameNumOffset_) + sh.frameNum;
      top = bottom = sh.idr ? 0 : sh.nalRefIdc == 0 ? 2 * fn - 1 : 2 * fn;
    }
  }
  curTop_ = clampPoc(top);
  curBottom_ = clampPoc(bottom);
  pic_.cur->poc = std::min(curTop_, curBottom_);
}

Status Decoder::start_picture(const SliceHeader& sh, const Pps& pps, const Sps& sps) {
  if (sps.widthMbs * sps.heightMbs > maxMbs_) return Status::unsupported("picture larger than the decoder's limit");
  bool changed = !haveActive_ || sps.widthMbs != active_.widthMbs || sps.heightMbs != active_.heightMbs ||
                 sps.chromaFormat != active_.chromaFormat || sps.bitDepthY != active_.bitDepthY;
  if (changed) {
    if (haveActive_) {
      flush_output();
      for (auto& f : dpb_) f->shortRef = f->longRef = false;
    }
    dpb_.clear();
  }
  if (sh.idr) {
    // Prior pictures are output before an IDR picture (C.4.4); its marking
    // happens after decoding, but nothing may refer to them any more.
    output_ready(true);
  }
  active_ = sps;
  haveActive_ = true;
  pic_.widthMbs = sps.widthMbs;
  pic_.heightMbs = sps.heightMbs;
  bitDepth_ = sps.bitDepthY;
  chromaFormat_ = sps.chromaFormat;
  const int nMbs = pic_.widthMbs * pic_.heightMbs;
  pic_.mbs.assign(nMbs, MbState());
  pic_.nzY.assign(size_t(nMbs) * 16, 0);
  pic_.ipred.assign(size_t(nMbs) * 16, -1);
  for (int c = 0; c < 2; ++c) pic_.nzC[c].assign(size_t(nMbs) * 4 * chromaFormat_, 0);
  // Written by each macroblock before any later one reads them.
  pic_.cabacMbs.resize(size_t(nMbs));
  for (int l = 0; l < 2; ++l) pic_.absMvd[l].resize(size_t(nMbs) * 32);
  pic_.refGt0.resize(size_t(nMbs) * 16);
  slices_.clear();
  deblockedRows_ = 0;
  completeRows_ = 0;

  // Gaps in frame_num (8.2.5.2): insert "non-existing" short-term frames.
  const int maxFrameNum = 1 << sps.log2MaxFrameNum;
  if (!sh.idr && havePrevRef_ && sh.frameNum != prevRefFrameNum_ &&
      sh.frameNum != (prevRefFrameNum_ + 1) % maxFrameNum) {
    int fn = (prevRefFrameNum_ + 1) % maxFrameNum;
    int guard = 0;
    while (fn != sh.frameNum && guard++ < 32) {
      pic_.cur = new_frame();
      Frame* f = pic_.cur;
      f->frameNum = fn;
      for (auto& g : dpb_)
        if (g->shortRef && g.get() != f) g->frameNumWrap = g->frameNum > fn ? g->frameNum - maxFrameNum : g->frameNum;
      sliding_window();
      f->alloc(sps.widthMbs * 16, sps.heightMbs * 16, sps.widthMbs * 8,
               sps.heightMbs * (sps.chromaFormat == 1 ? 8 : 16), sps.bitDepthY > 8 ? 2 : 1);
      f->id = nextId_++;
      f->shortRef = true;
      f->longRef = false;
      f->neededForOutput = false;
      f->poc = 0;
      fn = (fn + 1) % maxFrameNum;
    }
    pic_.cur = nullptr;
    prevFrameNum_ = (sh.frameNum + maxFrameNum - 1) % maxFrameNum;
  }

  pic_.cur = new_frame();
  pic_.cur->alloc(sps.widthMbs * 16, sps.heightMbs * 16, sps.widthMbs * 8,
                  sps.heightMbs * (sps.chromaFormat == 1 ? 8 : 16), sps.bitDepthY > 8 ? 2 : 1);
  pic_.cur->id = nextId_++;
  pic_.cur->frameNum = sh.frameNum;
  pic_.cur->shortRef = pic_.cur->longRef = false;
  pic_.cur->longTermIdx = -1;
  pic_.cur->neededForOutput = false;
  firstSh_ = sh;
  compute_poc(sh, sps);
  (void)pps;
  return Status::success();
}

void Decoder::finish_picture() {
  if (!pic_.cur) return;
  deblock_picture();
  const SliceHeader& sh = firstSh_;
  const int maxFrameNum = 1 << active_.log2MaxFrameNum;
  if (sh.nalRefIdc != 0) mark_references();
  if (sh.hasMmco5) {
    // 8.2.1: the picture's order count restarts at 0 after the operation.
    int tempPoc = std::min(curTop_, curBottom_);
    curTop_ -= tempPoc;
    curBottom_ -= tempPoc;
    pic_.cur->poc = 0;
    output_ready(true);
    pic_.cur->frameNum = 0;
  }
  if (sh.nalRefIdc != 0) {
    if (sh.hasMmco5) {
      prevPocMsb_ = 0;
      prevPocLsb_ = curTop_;
    } else if (active_.pocType == 0) {
      prevPocMsb_ = curPocMsb_;
      prevPocLsb_ = sh.pocLsb;
    }
    prevRefFrameNum_ = sh.hasMmco5 ? 0 : sh.frameNum;
    havePrevRef_ = true;
  }
  prevFrameNumOffset_ = sh.hasMmco5 ? 0 : frameNumOffset_;
  prevFrameNum_ = sh.hasMmco5 ? 0 : sh.frameNum;
  (void)maxFrameNum;
  pic_.cur->neededForOutput = true;
  ++decodedCount_;
  Frame* done = pic_.cur;
  pic_.cur = nullptr;
  (void)done;
  output_ready(false);
}

}  // namespace h264dec
