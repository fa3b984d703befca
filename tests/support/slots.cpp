#include "slots.h"

#include <cstring>

#include "blocks/block.h"
#include "blocks/diff.h"
#include "blocks/sad.h"
#include "blocks/satd.h"
#include "blocks/ssd.h"
#include "blocks/variance.h"
#include "h264/cabac/cabac.h"
#include "h264/cavlc/cavlc.h"
#include "h264/cavlc/cavlc_encode.h"
#include "h264/transform/dc.h"
#include "h264/deblock/deblock.h"
#include "h264/transform/dequant4x4.h"
#include "h264/inter/interp_chroma.h"
#include "h264/inter/interp_luma.h"
#include "h264/intra/intra.h"
#include "h264/intra/intra_hbd.h"
#include "h264/transform/quant4x4.h"
#include "h264/recon/recon.h"
#include "h264/recon/residual_hbd.h"
#include "h264/transform/transform8x8.h"
#include "h264/inter/weight.h"
#include "dv/dct248.h"
#include "mpeg2/dct_mpeg2.h"
#include "mpeg2/mpeg2_vlc.h"
#include "mpeg2/quant_mpeg2.h"
#include "vc1/quant_vc1.h"
#include "vc1/transform_vc1.h"
#include "mpeg4/filter_h263.h"
#include "mpeg4/quant_h263.h"
#include "mpeg4/quant_mpeg4.h"
#include "mpeg4/coeff_encode.h"
#include "mpeg4/mpeg4_vlc.h"
#include "avs/avs_vlc.h"
#include "avs/recon_avs.h"
#include "dv/dv_quant.h"
#include "dv/dv_segment.h"
#include "vc1/deblock_vc1.h"
#include "vc1/smooth_vc1.h"
#include "slot_tables.h"
// VC-1 interpolation and range mapping; deinterlacing; 4:2:2 to 4:2:0 with rotation
#include "vc1/interp_vc1.h"
#include "vpp/cc422_rotate.h"
#include "vpp/deinterlace.h"

namespace kvntest {

namespace {

using slots_detail::family;

KVN_TABLE(block, BlockKernels, M(copy8x8), M(copy16x16), M(copy_hp), M(avg_ir8x8), M(avg_ir16x16), M(avg8x8),
          M(avg16x16), M(interp_avg), M(add8x8), M(add8x8_hp), M(addc8x8), M(mc), M(mc_b), M(mc_p2), M(mc_p2b),
          M(count_zeros8x8))
KVN_TABLE(diff, DiffKernels, M(diff4x4), M(get_diff), M(get_diff_b), M(get_diff_p2), M(get_diff_p2b), M(sub16u4x4),
          M(sub16u8x8), M(sums_diff), M(sums_diff16u), M(sums_diff_p2))
KVN_TABLE(sad, SadKernels, M(sad), M(sad_full), M(sad8x8_c2), M(sad16u), M(xn), M(blocks8x8), M(blocks4x4),
          M(blocks8x8_16u), M(blocks4x4_16u), M(frame_field), M(frame_field16s), M(sub_sad8x8))
KVN_TABLE(satd, SatdKernels, M(satd), M(sat8x8d), M(sat8x8d_16u))
KVN_TABLE(ssd, SsdKernels, M(ssd), M(ssd_b16x16))
KVN_TABLE(variance, VarianceKernels, M(variance16x16), M(var_mean8x8), M(var_mean8x8_16s), M(var_mean_diff),
          M(mean_abs_dev16x16), M(mean_abs_dev8x8), M(edges16x16), M(edges16x16_16u))
KVN_TABLE(cabac, CabacKernels, M(residual16s), M(residual32s))
KVN_TABLE(cavlc, CavlcKernels, M(exp_golomb), M(block16s), M(block32s), M(range16s), M(dc2x2_16s), M(dc2x2_32s),
          M(dc2x4_16s), M(dc2x4_32s))
KVN_TABLE(cavlc_encode, CavlcEncodeKernels, M(block16s), M(block32s), M(dc2x2_16s), M(dc2x2_32s), M(dc2x4_16s),
          M(dc2x4_32s))
KVN_TABLE(dc, DcKernels, M(fwd_luma16s), M(fwd_luma32s), M(fwd_luma_legacy), M(fwd_2x2_16s), M(fwd_2x4_16s),
          M(fwd_2x2_32s), M(fwd_2x4_32s), M(fwd_chroma_legacy), M(inv_luma16s), M(inv_2x2_16s), M(inv_2x4_16s),
          M(inv_luma32s), M(inv_2x2_32s), M(inv_2x4_32s), M(dequant_luma), M(dequant_chroma), M(sisp_chroma))
KVN_TABLE(deblock, DeblockKernels, M(luma_ver), M(luma_hor), M(chroma_ver), M(chroma_hor), M(chroma422_ver),
          M(chroma422_hor), M(chroma_c2_ver), M(chroma_c2_hor), M(luma_mbaff), M(chroma_mbaff), M(luma16_ver),
          M(luma16_hor), M(luma16_mbaff), M(chroma16_ver), M(chroma16_hor), M(chroma16_mbaff), M(chroma422_16_ver),
          M(chroma422_16_hor))
KVN_TABLE(dequant4x4, Dequant4x4Kernels, M(inv16s), M(inv32s), M(inv_add16s), M(inv_add32s), M(dequant_residual),
          M(dequant_add), M(sisp_residual))
KVN_TABLE(interp_chroma, InterpChromaKernels, M(c1), M(c2c2), M(c2p2), M(c16), M(average), M(expand))
KVN_TABLE(interp_luma, InterpLumaKernels, M(luma8), M(luma16))
KVN_TABLE(intra, IntraKernels, M(pred4x4), M(pred16x16), M(chroma8x8))
KVN_TABLE(intra_hbd, IntraHbdKernels, M(pred4x4), M(pred8x8), M(pred16x16), M(chroma8x8), M(chroma8x16),
          M(chroma8x16_8u))
KVN_TABLE(quant4x4, Quant4x4Kernels, M(fwd16s), M(fwd32s), M(fwd_pred), M(tq16s), M(tq16s32s), M(quant16s),
          M(quant16s32s), M(quant32s), M(tq_legacy), M(gen_scale))
KVN_TABLE(recon, ReconKernels, M(residual4x4), M(block4x4), M(block8x8), M(residual8x8), M(pred8x8), M(intra4x4),
          M(split_c2), M(merge_c2))
KVN_TABLE(residual_hbd, ResidualHbdKernels, M(row4x4_16u), M(row4x4_8u), M(block8x8_16u))
KVN_TABLE(transform8x8, Transform8x8Kernels, M(fwd16s), M(fwd32s), M(quant16s), M(quant32s), M(dequant16s),
          M(dequant32s), M(inv_add8u), M(inv_add16u), M(gen_scale))
KVN_TABLE(weight, WeightKernels, M(uni8), M(bi8), M(bi8_any), M(uni16), M(bi16), M(average16), M(uni8_exact),
          M(bi8_exact), M(uni16_exact), M(bi16_exact))

// MPEG-1/MPEG-2 VLC (scalar only)
KVN_TABLE(mpeg2_vlc, Mpeg2VlcKernels, M(decode_one), M(decode_pair), M(inter_mpeg1), M(inter_mpeg2), M(intra_mpeg1),
          M(intra_mpeg2), M(put_intra), M(put_inter))
// MPEG-2 quantisation and DCT
KVN_TABLE(quant_mpeg2, QuantMpeg2Kernels, M(quant_float), M(quant_float_intra), M(quant_recip), M(count), M(inv),
          M(inv_intra))
KVN_TABLE(dct_mpeg2, DctMpeg2Kernels, M(inv8u), M(inv16s), M(inv8u_p2), M(inv16s_p2), M(or_set), M(natural),
          M(fwd_c2p2))
// MPEG-4/H.263 quantisation and H.263 edge filters
KVN_TABLE(quant_h263, QuantH263Kernels, M(quant), M(inv))
KVN_TABLE(quant_mpeg4, QuantMpeg4Kernels, M(quant_matrix), M(quant_float), M(inv_inter), M(inv_intra))
KVN_TABLE(filter_h263, FilterH263Kernels, M(deblock_hor), M(deblock_ver), M(boundary_hor), M(boundary_ver))
// DV 2-4-8 DCT and DV100 weighting
KVN_TABLE(dct248, Dct248Kernels, M(inv), M(fwd), M(dv100_weight))
// MPEG-4 / H.263 / H.261 coefficient writers (scalar only)
KVN_TABLE(coeff_encode, CoeffEncodeKernels, M(mpeg4), M(mpeg4_rvlc), M(h263), M(h261), M(dc_h263), M(dc_mpeg4))
// MPEG-4 / H.263 / H.261 coefficient VLC decoding
KVN_TABLE(mpeg4_vlc, Mpeg4VlcKernels, M(intra_mpeg4), M(inter_mpeg4), M(intra_rvlc_back), M(inter_rvlc_back),
          M(intra_h263), M(inter_h263), M(intra_h261), M(inter_h261), M(dc_h263), M(dc_mpeg4), M(recon_intra_h261),
          M(recon_inter_h261), M(recon_intra_h263), M(recon_inter_h263), M(recon_inter_mpeg4))
// VC-1 transforms and quantisation
KVN_TABLE(transform_vc1, TransformVc1Kernels, M(fwd), M(inv), M(inv_quarter), M(inv_dc))
KVN_TABLE(quant_vc1, QuantVc1Kernels, M(intra), M(inter), M(inv_intra), M(inv_inter))
// VC-1 interpolation and range mapping; deinterlacing; 4:2:2 to 4:2:0 with rotation
KVN_TABLE(interp_vc1, InterpVc1Kernels, M(bicubic), M(bilinear_c1), M(bilinear_c2), M(range_map))
KVN_TABLE(deinterlace, DeinterlaceKernels, M(edge_row))
KVN_TABLE(cc422_rotate, Cc422RotateKernels, M(c2p3), M(p3))
// DV segment decoding (scalar only) and dequantisers
KVN_TABLE(dv_segment, DvSegmentKernels, M(dv), M(dv_one_pass), M(dv100))
KVN_TABLE(dv_quant, DvQuantKernels, M(inv), M(weight_inv))

// AVS coefficient decoding (scalar only) and inter reconstruction
KVN_TABLE(avs_vlc, AvsVlcKernels, M(intra_luma), M(inter_luma), M(chroma))
KVN_TABLE(recon_avs, ReconAvsKernels, M(block))

// VC-1 overlap smoothing and loop filter
KVN_TABLE(smooth_vc1, SmoothVc1Kernels, M(luma_ver), M(luma_hor), M(chroma_ver), M(chroma_hor), M(chroma_ver_p2),
          M(chroma_hor_p2))
KVN_TABLE(deblock_vc1, DeblockVc1Kernels, M(luma_hor), M(luma_ver), M(chroma_hor), M(chroma_ver), M(chroma_c2_hor),
          M(chroma_c2_ver))

AnyFn read_slot(const void* table, std::size_t i) {
  AnyFn f;
  std::memcpy(&f, static_cast<const char*>(table) + i * sizeof f, sizeof f);
  return f;
}

}  // namespace

AnyFn Family::slot(kvn::Isa isa, std::size_t i) const { return read_slot(table(isa), i); }
AnyFn Family::scalar_slot(std::size_t i) const { return read_slot(scalar, i); }

std::string Family::slot_name(std::size_t i) const {
  for (const Member* m = members; m != members + member_count; ++m) {
    if (i < m->first || i >= m->first + m->count) continue;
    std::string name = m->name, index;
    std::size_t rest = i - m->first;
    for (int d = 2; d >= 0; --d)
      if (m->dims[d]) {
        index = "[" + std::to_string(rest % std::size_t(m->dims[d])) + "]" + index;
        rest /= std::size_t(m->dims[d]);
      }
    return name + index;
  }
  return "?";
}

const std::vector<Family>& families() {
  using namespace kvn;
  static const std::vector<Family> all = {
      family<BlockKernels, block_kernels>("block", kBlockKernelsC, block::kMembers),
      family<DiffKernels, diff_kernels>("diff", kDiffKernelsC, diff::kMembers),
      family<SadKernels, sad_kernels>("sad", kSadKernelsC, sad::kMembers),
      family<SatdKernels, satd_kernels>("satd", kSatdKernelsC, satd::kMembers),
      family<SsdKernels, ssd_kernels>("ssd", kSsdKernelsC, ssd::kMembers),
      family<VarianceKernels, variance_kernels>("variance", kVarianceKernelsC, variance::kMembers),
      family<CabacKernels, cabac_kernels>("cabac", kCabacKernelsC, cabac::kMembers),
      family<CavlcKernels, cavlc_kernels>("cavlc", kCavlcKernelsC, cavlc::kMembers),
      family<CavlcEncodeKernels, cavlc_encode_kernels>("cavlc_encode", kCavlcEncodeKernelsC, cavlc_encode::kMembers),
      family<DcKernels, dc_kernels>("dc", kDcKernelsC, dc::kMembers),
      family<DeblockKernels, deblock_kernels>("deblock", kDeblockKernelsC, deblock::kMembers),
      family<Dequant4x4Kernels, dequant4x4_kernels>("dequant4x4", kDequant4x4KernelsC, dequant4x4::kMembers),
      family<InterpChromaKernels, interp_chroma_kernels>("interp_chroma", kInterpChromaKernelsC,
                                                         interp_chroma::kMembers),
      family<InterpLumaKernels, interp_luma_kernels>("interp_luma", kInterpLumaKernelsC, interp_luma::kMembers),
      family<IntraKernels, intra_kernels>("intra", kIntraKernelsC, intra::kMembers),
      family<IntraHbdKernels, intra_hbd_kernels>("intra_hbd", kIntraHbdKernelsC, intra_hbd::kMembers),
      family<Quant4x4Kernels, quant4x4_kernels>("quant4x4", kQuant4x4KernelsC, quant4x4::kMembers),
      family<ReconKernels, recon_kernels>("recon", kReconKernelsC, recon::kMembers),
      family<ResidualHbdKernels, residual_hbd_kernels>("residual_hbd", kResidualHbdKernelsC, residual_hbd::kMembers),
      family<Transform8x8Kernels, transform8x8_kernels>("transform8x8", kTransform8x8KernelsC, transform8x8::kMembers),
      family<WeightKernels, weight_kernels>("weight", kWeightKernelsC, weight::kMembers),
      family<Mpeg2VlcKernels, mpeg2_vlc_kernels>("mpeg2_vlc", kMpeg2VlcKernelsC, mpeg2_vlc::kMembers),
      // MPEG-2 quantisation and DCT
      family<QuantMpeg2Kernels, quant_mpeg2_kernels>("quant_mpeg2", kQuantMpeg2KernelsC, quant_mpeg2::kMembers),
      family<DctMpeg2Kernels, dct_mpeg2_kernels>("dct_mpeg2", kDctMpeg2KernelsC, dct_mpeg2::kMembers),
      // MPEG-4/H.263 quantisation and H.263 edge filters
      family<QuantH263Kernels, quant_h263_kernels>("quant_h263", kQuantH263KernelsC, quant_h263::kMembers),
      family<QuantMpeg4Kernels, quant_mpeg4_kernels>("quant_mpeg4", kQuantMpeg4KernelsC, quant_mpeg4::kMembers),
      family<FilterH263Kernels, filter_h263_kernels>("filter_h263", kFilterH263KernelsC, filter_h263::kMembers),
      // MPEG-4 / H.263 / H.261 coefficient writers
      family<CoeffEncodeKernels, coeff_encode_kernels>("coeff_encode", kCoeffEncodeKernelsC, coeff_encode::kMembers),
      // DV 2-4-8 DCT and DV100 weighting
      family<Dct248Kernels, dct248_kernels>("dct248", kDct248KernelsC, dct248::kMembers),
      // MPEG-4 / H.263 / H.261 coefficient VLC decoding
      family<Mpeg4VlcKernels, mpeg4_vlc_kernels>("mpeg4_vlc", kMpeg4VlcKernelsC, mpeg4_vlc::kMembers),
      // AVS coefficient decoding and inter reconstruction
      family<AvsVlcKernels, avs_vlc_kernels>("avs_vlc", kAvsVlcKernelsC, avs_vlc::kMembers),
      family<ReconAvsKernels, recon_avs_kernels>("recon_avs", kReconAvsKernelsC, recon_avs::kMembers),
      // VC-1 transforms and quantisation
      family<TransformVc1Kernels, transform_vc1_kernels>("transform_vc1", kTransformVc1KernelsC,
                                                         transform_vc1::kMembers),
      family<QuantVc1Kernels, quant_vc1_kernels>("quant_vc1", kQuantVc1KernelsC, quant_vc1::kMembers),
      // VC-1 interpolation and range mapping; deinterlacing; 4:2:2 to 4:2:0 with rotation
      family<InterpVc1Kernels, interp_vc1_kernels>("interp_vc1", kInterpVc1KernelsC, interp_vc1::kMembers),
      family<DeinterlaceKernels, deinterlace_kernels>("deinterlace", kDeinterlaceKernelsC, deinterlace::kMembers),
      family<Cc422RotateKernels, cc422_rotate_kernels>("cc422_rotate", kCc422RotateKernelsC, cc422_rotate::kMembers),
      // DV segment decoding and dequantisers
      family<DvSegmentKernels, dv_segment_kernels>("dv_segment", kDvSegmentKernelsC, dv_segment::kMembers),
      family<DvQuantKernels, dv_quant_kernels>("dv_quant", kDvQuantKernelsC, dv_quant::kMembers),
      // VC-1 overlap smoothing and loop filter
      family<SmoothVc1Kernels, smooth_vc1_kernels>("smooth_vc1", kSmoothVc1KernelsC, smooth_vc1::kMembers),
      family<DeblockVc1Kernels, deblock_vc1_kernels>("deblock_vc1", kDeblockVc1KernelsC, deblock_vc1::kMembers),
  };
  return all;
}

}  // namespace kvntest
