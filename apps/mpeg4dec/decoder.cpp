#include "decoder.h"

#include <algorithm>
#include <cstring>

namespace mpeg4dec {

Format detect_format(const std::vector<uint8_t>& bytes) {
  // The first start code, after any zero bytes: MPEG-4 00 00 01 (00..2F or
  // B0..B6), the H.263 PSC 0000 0000 0000 0000 1000 00, the H.261 PSC
  // 0000 0000 0000 0001 0000.
  size_t i = 0;
  while (i + 3 < bytes.size() && i < 4096 && bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 0) ++i;
  if (i + 3 >= bytes.size()) return Format::kAuto;
  const uint8_t* b = bytes.data() + i;
  if (b[0] == 0 && b[1] == 0 && b[2] == 1 && (b[3] <= 0x2F || (b[3] >= 0xB0 && b[3] <= 0xB6))) return Format::kMpeg4;
  if (b[0] == 0 && b[1] == 0 && (b[2] & 0xFC) == 0x80) return Format::kH263;
  if (b[0] == 0 && b[1] == 1 && (b[2] & 0xF0) == 0) return Format::kH261;
  return Format::kAuto;
}

Decoder::Decoder(Sink sink) : sink_(std::move(sink)) {}

std::string Decoder::decode(const std::vector<uint8_t>& bytes, Format format) {
  if (format == Format::kAuto) format = detect_format(bytes);
  std::vector<uint8_t> data(bytes);
  data.resize(bytes.size() + kPad, 0);
  std::string err;
  switch (format) {
    case Format::kMpeg4: err = decode_mpeg4(data, bytes.size()); break;
    case Format::kH263: err = decode_h263(data, bytes.size()); break;
    case Format::kH261: err = decode_h261(data, bytes.size()); break;
    default: err = "not an MPEG-4 Visual, H.263 or H.261 video stream";
  }
  flush();
  return err;
}

std::unique_ptr<Frame> Decoder::new_frame(int w, int h, int edgeW, int edgeH) {
  std::unique_ptr<Frame> f;
  for (size_t i = 0; i < pool_.size(); ++i)
    if (pool_[i]->width == w && pool_[i]->height == h && pool_[i]->plane[0].w == edgeW &&
        pool_[i]->plane[0].h == edgeH) {
      f = std::move(pool_[i]);
      pool_.erase(pool_.begin() + ptrdiff_t(i));
      break;
    }
  if (!f) {
    f = std::make_unique<Frame>();
    f->init(w, h, edgeW, edgeH);
  }
  std::fill(f->skipped.begin(), f->skipped.end(), 0);
  std::fill(f->fourMv.begin(), f->fourMv.end(), 0);
  return f;
}

void Decoder::recycle(std::unique_ptr<Frame> f) {
  if (f && pool_.size() < 4) pool_.push_back(std::move(f));
}

void Decoder::finish_reference() {
  for (Plane& p : cur_->plane) p.extend_edges();
  if (future_ && !futureShown_) sink_(*future_);
  recycle(std::move(past_));
  past_ = std::move(future_);
  future_ = std::move(cur_);
  futureShown_ = false;
}

void Decoder::flush() {
  if (future_ && !futureShown_) sink_(*future_);
  futureShown_ = true;
}

// ---------------------------------------------------------------------------
// MPEG-4 Visual: start codes, headers and the VOP's macroblocks.

std::string Decoder::decode_mpeg4(const std::vector<uint8_t>& data, size_t size) {
  std::vector<size_t> starts;  // offsets of the start code values
  for (size_t i = 0; i + 3 < size; ++i)
    if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
      starts.push_back(i + 3);
      i += 2;
    }
  for (size_t k = 0; k < starts.size(); ++k) {
    const size_t at = starts[k], end = k + 1 < starts.size() ? starts[k + 1] - 3 : size;
    const int code = data[at];
    BitReader b(data.data(), at + 1, end);
    if (code >= kVolFirst && code <= kVolLast) {
      Vol vol;
      const std::string err = parse_vol(b, vol);
      if (!err.empty()) {
        if (err.compare(0, 12, "unsupported:") == 0) return err;
        ++errors_;
        continue;
      }
      if (haveVol_ && vol.width == vol_.width && vol.height == vol_.height) {
        vol_ = vol;
      } else {
        flush();
        recycle(std::move(past_)), recycle(std::move(future_));
        vol_ = vol;
        if (int64_t((vol.width + 15) / 16) * ((vol.height + 15) / 16) > maxMbs_) return "picture too large";
      }
      haveVol_ = true;
      h263Pred_ = true;
      const std::string e = start_vol();
      if (!e.empty()) return e;
    } else if (code == kGovStart) {
      // The group of VOPs' time code (6.2.4) sets the time base in seconds
      // from which the next VOPs' modulo_time_base counts.
      const int hours = int(b.u(5)), minutes = int(b.u(6));
      b.skip(1);
      timeBase_ = (int64_t(hours) * 60 + minutes) * 60 + int64_t(b.u(6));
    } else if (code == kVopStart) {
      if (!haveVol_) continue;
      const std::string err = parse_vop(b, vol_, vop_);
      if (!err.empty()) {
        if (err.compare(0, 12, "unsupported:") == 0) return err;
        ++errors_;
        continue;
      }
      decode_vop(b);
    }
  }
  return "";
}

std::string Decoder::start_vol() {
  mbw_ = (vol_.width + 15) / 16, mbh_ = (vol_.height + 15) / 16;
  const size_t n = size_t(mbw_) * size_t(mbh_);
  packet_.assign(n, -1);
  intra_.assign(n, 0);
  qp_.assign(n, 1);
  pred_[0].assign(n * 4, BlockPred{});
  pred_[1].assign(n, BlockPred{});
  pred_[2].assign(n, BlockPred{});
  if (kvniQuantInvIntraInit_MPEG4(vol_.mpegQuant ? vol_.intraMatrix : nullptr, invIntra_.get(), 8) < 0 ||
      kvniQuantInvInterInit_MPEG4(vol_.mpegQuant ? vol_.interMatrix : nullptr, invInter_.get(), 8) < 0)
    return "invalid quantiser matrix";
  return "";
}

void Decoder::decode_vop(BitReader& b) {
  // Times (ISO/IEC 14496-2 6.3.5): TRD and TRB of the direct mode, in units
  // of the time resolution.
  const int64_t res = vol_.timeResolution;
  if (vop_.type != kVopB) {
    lastTimeBase_ = timeBase_;
    timeBase_ += vop_.moduloTime;
    const int64_t time = timeBase_ * res + vop_.timeIncrement;
    ppTime_ = int(time - lastNonBTime_);
    lastNonBTime_ = time;
  } else {
    const int64_t time = (lastTimeBase_ + vop_.moduloTime) * res + vop_.timeIncrement;
    pbTime_ = int(ppTime_ - (lastNonBTime_ - time));
  }
  if (!vop_.coded) return;  // nothing to show (packed B-VOPs leave such placeholders)
  if (vop_.type == kVopP && !future_) {
    ++errors_;  // no reference: skip until an I-VOP
    return;
  }
  if (vop_.type == kVopB) {
    if (!past_ || !future_) return;  // B-VOPs before the first two references
    if (ppTime_ <= 0 || pbTime_ <= 0 || pbTime_ >= ppTime_) {
      ++errors_;
      return;
    }
  }
  cur_ = new_frame(vol_.width, vol_.height, vol_.width, vol_.height);
  const int mbCount = mbw_ * mbh_;
  int qp = vop_.quant;
  ++packetId_;
  packetStart_ = 0;
  lastMv_[0][0] = lastMv_[0][1] = lastMv_[1][0] = lastMv_[1][1] = 0;
  bool failed = false;
  for (int mb = 0; mb < mbCount; ++mb) {
    if (mb > 0 && vol_.resyncMarkers && resync_marker_next(b, vop_)) {
      int q = 0;
      const int n = parse_packet_header(b, vol_, vop_, mbCount, q);
      if (n < mb) {
        failed = true;
        conceal_from(mb);
        break;
      }
      if (n > mb) conceal_from(mb);  // lost macroblocks
      mb = n;
      qp = q;
      ++packetId_;
      packetStart_ = mb;
    }
    if (mb % mbw_ == 0) lastMv_[0][0] = lastMv_[0][1] = lastMv_[1][0] = lastMv_[1][1] = 0;
    if (mb == packetStart_) lastMv_[0][0] = lastMv_[0][1] = lastMv_[1][0] = lastMv_[1][1] = 0;
    const bool ok = b.overrun() ? false : vop_.type == kVopB ? mpeg4_b_mb(b, mb, qp) : mpeg4_mb(b, mb, qp);
    if (!ok || b.overrun()) {
      failed = true;
      conceal_from(mb);
      break;
    }
  }
  if (failed) ++errors_;
  if (vop_.type == kVopB) {
    sink_(*cur_);
    recycle(std::move(cur_));
  } else {
    finish_reference();
  }
}

// Macroblocks from `mb` to the end: copied from the newer reference (or
// left grey without one); they count as not coded.
void Decoder::conceal_from(int mb) {
  const Frame* ref = future_.get();
  for (int m = mb; m < mbw_ * mbh_; ++m) {
    const int mbx = m % mbw_, mby = m / mbw_;
    packet_[size_t(m)] = -1;
    intra_[size_t(m)] = 0;
    if (!ref) continue;
    static const int16_t kZero[8] = {};
    predict_mb(*ref, mbx, mby, kZero, false, 0, false);
    std::fill_n(&cur_->mv[size_t(m) * 8], 8, int16_t(0));
  }
}

}  // namespace mpeg4dec
