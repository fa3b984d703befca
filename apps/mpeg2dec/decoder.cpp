#include "decoder.h"

#include <algorithm>
#include <cstring>

#include "mpeg2_syntax_tables.h"
#include "mpeg2_vlc_tables.h"

namespace mpeg2dec {
namespace {

constexpr int kPad = 32;  // luma border of the pictures (chroma: half)

Table build(const std::vector<int32_t>& source) {
  KvnHuffmanTable* t = nullptr;
  if (kvniHuffmanTableInitAlloc_32s(source.data(), &t) < 0) return nullptr;
  return Table(t);
}

Table build_run_level(const std::vector<int32_t>& source) {
  KvnHuffmanTable* t = nullptr;
  if (kvniHuffmanRunLevelTableInitAlloc_32s(source.data(), &t) < 0) return nullptr;
  return Table(t);
}

}  // namespace

void TableDeleter::operator()(KvnHuffmanTable* t) const { kvniHuffmanTableFree_32s(t); }

void picture_bytes(const Frame& f, int width, int height, std::vector<uint8_t>& out) {
  out.clear();
  for (int c = 0; c < 3; ++c) {
    const int w = c ? (width + 1) / 2 : width, h = c ? (height + 1) / 2 : height;
    for (int y = 0; y < h; ++y) out.insert(out.end(), f.plane[c].at(0, y), f.plane[c].at(0, y) + w);
  }
}

Decoder::Decoder(Sink sink) : sink_(std::move(sink)) {
  using kvnsupport::Mpeg2Syntax;
  mbInc_ = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kMbAddressIncrement));
  mbType_[0] = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kMbTypeI));
  mbType_[1] = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kMbTypeP));
  mbType_[2] = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kMbTypeB));
  cbp_ = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kCodedBlockPattern));
  motion_ = build(kvnsupport::mpeg2_syntax_source(Mpeg2Syntax::kMotionCode));
  using kvnsupport::Mpeg2DctTable;
  for (int c = 0; c < 2; ++c) dcSize_[c] = build(kvnsupport::mpeg2_dc_size_source(c == 1));
  coef_[0] = build_run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14First));
  coef_[1] = build_run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB14));
  coef_[2] = build_run_level(kvnsupport::mpeg2_dct_source(Mpeg2DctTable::kB15));
}

std::string Decoder::decode(const std::vector<uint8_t>& bytes) {
  if (!mbInc_ || !cbp_ || !motion_ || !mbType_[0] || !mbType_[1] || !mbType_[2] || !dcSize_[0] || !dcSize_[1] ||
      !coef_[0] || !coef_[1] || !coef_[2])
    return "cannot build the code tables";
  Stream s(bytes);
  bool afterPicture = false;  // the last header was a picture header (its extensions follow)
  std::string err;
  for (size_t i = 0; i < s.starts.size() && err.empty(); ++i) {
    const size_t at = s.starts[i], end = i + 1 < s.starts.size() ? s.starts[i + 1] - 3 : s.size;
    const uint32_t code = bytes[at];
    Bits b(s, at + 1, end);
    if (code >= kSliceFirst && code <= kSliceLast) {
      if (!haveSeq_ || !afterPicture) continue;  // no picture to put the slice in
      if (!inPicture_) {
        err = start_picture();
        if (!err.empty()) {
          // A picture that cannot be decoded (missing references): drop its slices.
          if (err.compare(0, 12, "unsupported:") == 0) break;
          ++errors_;
          err.clear();
          afterPicture = false;
          continue;
        }
      }
      const std::string e = decode_slice(b, int(code));
      if (!e.empty()) ++errors_;  // the rest of the slice keeps what it had
      continue;
    }
    switch (code) {
      case kSequenceHeader:
        finish_picture();
        err = parse_sequence_header(b, seq_);
        afterPicture = false;
        if (err.empty() && int64_t((seq_.width + 15) / 16) * ((seq_.height + 31) / 32 * 2) > maxMbs_)
          err = "picture too large";
        haveSeq_ = err.empty();
        break;
      case kExtension:
        if (haveSeq_) err = parse_extension(b, seq_, afterPicture ? &pic_ : nullptr);
        break;
      case kPictureStart:
        finish_picture();
        afterPicture = false;
        if (!haveSeq_) break;
        err = parse_picture_header(b, seq_, pic_);
        if (!err.empty() && err.compare(0, 12, "unsupported:") != 0) {
          ++errors_;  // a damaged picture header: skip the picture
          err.clear();
          break;
        }
        afterPicture = err.empty();
        break;
      case kSequenceEnd:
        finish_picture();
        afterPicture = false;
        break;
      default:  // GOP headers, user data: nothing to do
        break;
    }
  }
  finish_picture();
  flush();
  return err;
}

std::string Decoder::start_picture() {
  if (seq_.mpeg2 && pic_.structure != 3) return "unsupported: field pictures";
  if ((pic_.type == 2 && !newer_) || (pic_.type == 3 && (!older_ || !newer_))) return "missing reference picture";
  // The picture in macroblocks (6.3.3): frames of an interlaced sequence
  // are coded in pairs of macroblock rows.
  const int mbw = (seq_.width + 15) / 16;
  const int mbh = seq_.mpeg2 && !seq_.progressive ? (seq_.height + 31) / 32 * 2 : (seq_.height + 15) / 16;
  if (mbw != mbw_ || mbh != mbh_) {  // a new size: the references go
    flush();
    older_.reset(), newer_.reset();
    mbw_ = mbw, mbh_ = mbh;
    if ((pic_.type == 2 && !newer_) || (pic_.type == 3 && (!older_ || !newer_))) return "missing reference picture";
  }
  cur_ = std::make_unique<Frame>();
  cur_->width = seq_.width, cur_->height = seq_.height;
  for (int c = 0; c < 3; ++c)
    cur_->plane[c].init(c ? mbw_ * 8 : mbw_ * 16, c ? mbh_ * 8 : mbh_ * 16, c ? kPad / 2 : kPad);
  // Scans and matrices transposed: the inverse DCT takes its coefficients
  // with horizontal frequency in the row index.
  const int alt = seq_.mpeg2 && pic_.alternateScan ? 1 : 0;
  auto transpose = [](int k) { return (k & 7) * 8 + (k >> 3); };
  for (int p = 0; p < 64; ++p)
    scan_[p] = Kvn32s(transpose((alt ? kvnsupport::kMpeg2Alternate : kvnsupport::kMpeg2Zigzag)[p]));
  for (int m = 0; m < 2; ++m)
    for (int k = 0; k < 64; ++k) weights_[m][transpose(k)] = Kvn16s(seq_.matrix[m][k]);
  inPicture_ = true;
  return "";
}

void Decoder::finish_picture() {
  if (!inPicture_) return;
  inPicture_ = false;
  ++decoded_;
  if (pic_.type == 3) {  // B pictures are shown at once
    sink_(*cur_, cur_->width, cur_->height);
    cur_.reset();
    return;
  }
  for (Plane& p : cur_->plane) p.extend_edges();
  if (newer_ && !newerShown_) sink_(*newer_, newer_->width, newer_->height);
  older_ = std::move(newer_);
  newer_ = std::move(cur_);
  newerShown_ = false;
}

void Decoder::flush() {
  if (newer_ && !newerShown_) sink_(*newer_, newer_->width, newer_->height);
  newerShown_ = true;
}

}  // namespace mpeg2dec
