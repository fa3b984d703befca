// Coefficient VLC decoding of ISO/IEC 14496-2 (MPEG-4 Visual), ITU-T H.263
// and ITU-T H.261 blocks, with the fused inverse quantisation of the
// Reconstruct functions. Kernel types and table.
//
// Readers take a byte bit position (*pp the current byte, *offset 0..7 the
// bits of it already used, most significant first; checked by the entries)
// and return KVN_STS_OK or KVN_STS_CODE_ERR (the Reconstruct kernels have had
// their quantiser and state checked by the entries).
//
// Memory read: a forward reader never touches a byte more than 4 bytes past
// the byte holding the next bit it has yet to consume, so on a valid block
// nothing beyond 4 bytes past the byte holding the block's last bit; on
// truncated or invalid data the call fails with KVN_STS_CODE_ERR as soon as
// the bits read stop forming a block, still within that bound of the bits it
// consumed. A backward (RVLC) reader never touches a byte after the one
// holding the position it is given, nor one more than 4 bytes before the
// byte holding the earliest bit it decodes (which, on success, is the first
// bit of the preceding block's last codeword).
//
// Position write-back: on success the position after the block (backward:
// the final bit of the preceding block's last codeword); on a code error the
// position is left as it was, except in the H.261 intra decoder and the
// H.263 intra reconstruction, which have stored the position after an
// accepted INTRADC before decoding the AC codes.
#pragma once

#include <cstdint>

#include "core/dispatch.h"
#include "kvnvc.h"

namespace kvn {

// Everything a block kernel needs besides the position and the outputs.
struct Mpeg4VlcArgs {
  int32_t rvlc;                         // MPEG-4: reversible codes (Table B-23)
  int32_t noDC;                         // MPEG-4 intra: position 0 is a DC decoded elsewhere
  int32_t advIntra;                     // H.263 Annex I
  int32_t modQuant;                     // H.263 Annex T
  int32_t coded;                        // H.263 intra reconstruction: the block has AC codes
  int32_t scan;                         // the caller's scan selector, as the entry received it
  int32_t qp;                           // Reconstruct kernels: 1..31 (MPEG-4: 1..QPmax of the state)
  const KvnQuantInvState_MPEG4* state;  // MPEG-4 inter reconstruction: aligned, tag checked
};

using Mpeg4BlockFn = int (*)(uint8_t** pp, int32_t* offset, int16_t* block, int32_t* last, const Mpeg4VlcArgs& a);
using Mpeg4DcFn = int (*)(uint8_t** pp, int32_t* offset, int16_t* dc, int32_t blockType);

struct Mpeg4VlcKernels {
  Mpeg4BlockFn intra_mpeg4;  // Table B-16 or Table B-23 (intra)
  Mpeg4BlockFn inter_mpeg4;  // Table B-17 or Table B-23 (inter)
  Mpeg4BlockFn intra_rvlc_back;
  Mpeg4BlockFn inter_rvlc_back;
  Mpeg4BlockFn intra_h263;  // Table 16 or Table I.2
  Mpeg4BlockFn inter_h263;
  Mpeg4BlockFn intra_h261;  // INTRADC, then Table 5
  Mpeg4BlockFn inter_h261;
  Mpeg4DcFn dc_h263;
  Mpeg4DcFn dc_mpeg4;
  Mpeg4BlockFn recon_intra_h261;
  Mpeg4BlockFn recon_inter_h261;
  Mpeg4BlockFn recon_intra_h263;
  Mpeg4BlockFn recon_inter_h263;
  Mpeg4BlockFn recon_inter_mpeg4;
};

// The scalar table kMpeg4VlcKernelsC and the rest: see KVN_DECLARE_FAMILY
// (core/dispatch.h). The family is scalar only: bit parsing is serial.
KVN_DECLARE_FAMILY(mpeg4_vlc, Mpeg4VlcKernels);

}  // namespace kvn
