// Decoded picture buffer: reference list construction and modification
// (H.264 8.2.4), reference marking (8.2.5) and output order (C.4.5.3).
#include <algorithm>

#include "decoder.h"

namespace h264dec {

Frame* Decoder::new_frame() {
  for (auto& f : dpb_)
    if (!f->isRef() && !f->neededForOutput && f.get() != pic_.cur) return f.get();
  dpb_.push_back(std::make_unique<Frame>());
  dpb_.back()->slot = int16_t(dpb_.size() - 1);
  return dpb_.back().get();
}

bool Decoder::build_ref_lists(const SliceHeader& sh) {
  const int maxFrameNum = 1 << active_.log2MaxFrameNum;
  const int currPicNum = sh.frameNum;
  std::vector<Frame*> shortRefs, longRefs;
  for (auto& f : dpb_) {
    Frame* p = f.get();
    if (p == pic_.cur) continue;
    if (p->shortRef) {
      p->frameNumWrap = p->frameNum > sh.frameNum ? p->frameNum - maxFrameNum : p->frameNum;
      shortRefs.push_back(p);
    } else if (p->longRef) {
      longRefs.push_back(p);
    }
  }
  std::sort(longRefs.begin(), longRefs.end(), [](Frame* a, Frame* b) { return a->longTermIdx < b->longTermIdx; });
  std::vector<Frame*> init[2];
  if (sh.type == kP) {
    std::sort(shortRefs.begin(), shortRefs.end(), [](Frame* a, Frame* b) { return a->frameNumWrap > b->frameNumWrap; });
    init[0] = shortRefs;
    init[0].insert(init[0].end(), longRefs.begin(), longRefs.end());
  } else if (sh.type == kB) {
    std::vector<Frame*> before, after;
    for (Frame* p : shortRefs) (p->poc < pic_.cur->poc ? before : after).push_back(p);
    std::sort(before.begin(), before.end(), [](Frame* a, Frame* b) { return a->poc > b->poc; });
    std::sort(after.begin(), after.end(), [](Frame* a, Frame* b) { return a->poc < b->poc; });
    init[0] = before;
    init[0].insert(init[0].end(), after.begin(), after.end());
    init[0].insert(init[0].end(), longRefs.begin(), longRefs.end());
    init[1] = after;
    init[1].insert(init[1].end(), before.begin(), before.end());
    init[1].insert(init[1].end(), longRefs.begin(), longRefs.end());
    if (init[1].size() > 1 && init[0] == init[1]) std::swap(init[1][0], init[1][1]);
  }
  bool ok = true;
  for (int l = 0; l < 2; ++l) {
    int n = sh.numRefIdxActive[l];
    pic_.refCount[l] = n;
    Frame* list[34] = {};
    for (int i = 0; i < n && i < int(init[l].size()); ++i) list[i] = init[l][i];
    // 8.2.4.3 modification
    int picNumPred = currPicNum, refIdx = 0;
    for (int k = 0; k < sh.numMods[l] && refIdx < n; ++k) {
      const RefMod& m = sh.mods[l][k];
      Frame* pic = nullptr;
      bool isLong = m.idc == 2;
      int picNum = 0;
      if (!isLong) {
        if (m.value >= uint32_t(maxFrameNum)) {
          ok = false;
          continue;
        }
        int absDiff = int(m.value) + 1;
        int noWrap = m.idc == 0 ? picNumPred - absDiff : picNumPred + absDiff;
        if (noWrap < 0) noWrap += maxFrameNum;
        if (noWrap >= maxFrameNum) noWrap -= maxFrameNum;
        picNumPred = noWrap;
        picNum = noWrap > currPicNum ? noWrap - maxFrameNum : noWrap;
        for (Frame* p : shortRefs)
          if (p->frameNumWrap == picNum) pic = p;
      } else {
        for (Frame* p : longRefs)
          if (p->longTermIdx == int(m.value)) pic = p;
      }
      if (!pic) {
        ok = false;
        continue;
      }
      for (int c = n; c > refIdx; --c) list[c] = list[c - 1];
      list[refIdx++] = pic;
      int nIdx = refIdx;
      for (int c = refIdx; c <= n; ++c) {
        Frame* p = list[c];
        bool same =
            p && (isLong ? (p->longRef && p->longTermIdx == int(m.value)) : (p->shortRef && p->frameNumWrap == picNum));
        if (!same) list[nIdx++] = p;
      }
    }
    // Entries without a picture (damaged streams) fall back to a usable one.
    Frame* fallback = list[0];
    if (!fallback) {
      for (auto& f : dpb_)
        if (f.get() != pic_.cur && f->isRef()) fallback = f.get();
    }
    if (!fallback) fallback = pic_.cur;
    for (int i = 0; i < n; ++i) {
      if (!list[i]) {
        list[i] = fallback;
        ok = false;
      }
      pic_.refList[l][i] = list[i];
    }
    for (int i = n; i < 33; ++i) pic_.refList[l][i] = nullptr;
  }
  return ok;
}

void Decoder::sliding_window() {
  int numShort = 0, numLong = 0;
  for (auto& f : dpb_) {
    if (f.get() == pic_.cur) continue;
    numShort += f->shortRef;
    numLong += f->longRef;
  }
  int maxRefs = std::max(active_.maxNumRefFrames, 1);
  while (numShort > 0 && numShort + numLong >= maxRefs) {
    Frame* oldest = nullptr;
    for (auto& f : dpb_)
      if (f.get() != pic_.cur && f->shortRef && (!oldest || f->frameNumWrap < oldest->frameNumWrap)) oldest = f.get();
    oldest->shortRef = false;
    --numShort;
  }
}

void Decoder::mark_references() {
  const SliceHeader& sh = firstSh_;
  const int maxFrameNum = 1 << active_.log2MaxFrameNum;
  for (auto& f : dpb_)
    if (f->shortRef && f.get() != pic_.cur)
      f->frameNumWrap = f->frameNum > sh.frameNum ? f->frameNum - maxFrameNum : f->frameNum;
  pic_.cur->shortRef = pic_.cur->longRef = false;
  if (sh.idr) {
    for (auto& f : dpb_)
      if (f.get() != pic_.cur) f->shortRef = f->longRef = false;
    if (sh.longTermReference) {
      pic_.cur->longRef = true;
      pic_.cur->longTermIdx = 0;
      maxLongTermIdx_ = 0;
    } else {
      pic_.cur->shortRef = true;
      maxLongTermIdx_ = -1;
    }
    return;
  }
  bool curLong = false;
  if (sh.adaptiveMarking) {
    const int currPicNum = sh.frameNum;
    auto findShort = [&](uint32_t diff) -> Frame* {
      int picNum = currPicNum - int(diff + 1);
      for (auto& f : dpb_)
        if (f.get() != pic_.cur && f->shortRef && f->frameNumWrap == picNum) return f.get();
      return nullptr;
    };
    for (int i = 0; i < sh.numMmco; ++i) {
      const Mmco& m = sh.mmco[i];
      switch (m.op) {
        case 1:
          if (Frame* p = findShort(m.a)) p->shortRef = false;
          break;
        case 2:
          for (auto& f : dpb_)
            if (f.get() != pic_.cur && f->longRef && f->longTermIdx == int(m.a)) f->longRef = false;
          break;
        case 3:
          if (Frame* p = findShort(m.a)) {
            for (auto& f : dpb_)
              if (f.get() != p && f->longRef && f->longTermIdx == int(m.b)) f->longRef = false;
            p->shortRef = false;
            p->longRef = true;
            p->longTermIdx = int(m.b);
          }
          break;
        case 4:
          maxLongTermIdx_ = int(m.a) - 1;
          for (auto& f : dpb_)
            if (f->longRef && f->longTermIdx > maxLongTermIdx_) f->longRef = false;
          break;
        case 5:
          for (auto& f : dpb_)
            if (f.get() != pic_.cur) f->shortRef = f->longRef = false;
          maxLongTermIdx_ = -1;
          break;
        case 6:
          for (auto& f : dpb_)
            if (f.get() != pic_.cur && f->longRef && f->longTermIdx == int(m.b)) f->longRef = false;
          pic_.cur->longRef = true;
          pic_.cur->longTermIdx = int(m.b);
          curLong = true;
          break;
      }
    }
  } else {
    sliding_window();
  }
  if (!curLong) {
    pic_.cur->shortRef = true;
    // Keep within max_num_ref_frames also for streams whose commands do not.
    int numShort = 0, numLong = 0;
    for (auto& f : dpb_) {
      numShort += f->shortRef;
      numLong += f->longRef;
    }
    if (numShort + numLong > std::max(active_.maxNumRefFrames, 1)) sliding_window();
  }
}

// Outputs frames in picture order count order while more are waiting than
// the reordering depth allows (or all of them when flushing).
void Decoder::output_ready(bool flushAll) {
  int depth = active_.numReorderFrames >= 0 ? std::min(active_.numReorderFrames, 16) : -1;
  int dpbSize = active_.maxDecFrameBuffering >= 0 ? std::min(active_.maxDecFrameBuffering, 16) : 16;
  if (dpbSize < 1) dpbSize = 1;
  for (;;) {
    int waiting = 0, held = 0;
    Frame* next = nullptr;
    for (auto& f : dpb_) {
      if (f->neededForOutput) {
        ++waiting;
        if (!next || f->poc < next->poc) next = f.get();
      }
      if (f->neededForOutput || f->isRef()) ++held;
    }
    if (!next) return;
    bool bump = flushAll || (depth >= 0 && waiting > depth) || held > dpbSize;
    if (!bump) return;
    next->neededForOutput = false;
    sink_(*next, active_);
  }
}

void Decoder::flush_output() { output_ready(true); }

}  // namespace h264dec
