#include "residual.h"

#include <kvnvc.h>

namespace h264dec {

const int32_t kScanZigzag[16] = {0, 1, 4, 8, 5, 2, 3, 6, 9, 12, 13, 10, 7, 11, 14, 15};
const int32_t kScanIdentity[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

int Residual::block16(int16_t** stream, int nC, int maxCoeff, const int32_t* scan) {
  Kvn16s total = 0;
  if (br_.overrun()) return -1;  // the padding after the data bounds one block
  KvnResult st = kvniDecodeCAVLCCoeffs_H264_1u16s(&br_.ptr, &br_.bit, &total, stream, nC, Kvn16s(maxCoeff),
                                                  t_.coeffToken, t_.totalZeros, t_.runBefore, scan);
  if (st < 0 || br_.overrun()) return -1;
  return total;
}

int Residual::block32(int32_t** stream, int nC, int maxCoeff, const int32_t* scan) {
  Kvn16s total = 0;
  if (br_.overrun()) return -1;  // the padding after the data bounds one block
  KvnResult st = kvniDecodeCAVLCCoeffs_H264_1u32s(&br_.ptr, &br_.bit, &total, stream, nC, Kvn16s(maxCoeff),
                                                  t_.coeffToken, t_.totalZeros, t_.runBefore, scan);
  if (st < 0 || br_.overrun()) return -1;
  return total;
}

int Residual::dc16(int16_t** stream, int cf) {
  Kvn16s total = 0;
  if (br_.overrun()) return -1;  // the padding after the data bounds one block
  KvnResult st = cf == 1
                     ? kvniDecodeCAVLCChromaDcCoeffs_H264_1u16s(&br_.ptr, &br_.bit, &total, stream, t_.coeffTokenDc420,
                                                                t_.totalZerosDc420, t_.runBefore)
                     : kvniDecodeCAVLCChroma422DcCoeffs_H264_1u16s(
                           &br_.ptr, &br_.bit, &total, stream, t_.coeffTokenDc422, t_.totalZerosDc422, t_.runBefore);
  if (st < 0 || br_.overrun()) return -1;
  return total;
}

int Residual::dc32(int32_t** stream, int cf) {
  Kvn16s total = 0;
  if (br_.overrun()) return -1;  // the padding after the data bounds one block
  KvnResult st = cf == 1
                     ? kvniDecodeCAVLCChromaDcCoeffs_H264_1u32s(&br_.ptr, &br_.bit, &total, stream, t_.coeffTokenDc420,
                                                                t_.totalZerosDc420, t_.runBefore)
                     : kvniDecodeCAVLCChroma422DcCoeffs_H264_1u32s(
                           &br_.ptr, &br_.bit, &total, stream, t_.coeffTokenDc422, t_.totalZerosDc422, t_.runBefore);
  if (st < 0 || br_.overrun()) return -1;
  return total;
}

}  // namespace h264dec
