// H.263 and H.261 picture layers.
#include "decoder.h"

namespace mpeg4dec {

std::string Decoder::decode_h263(const std::vector<uint8_t>&, size_t) { return "unsupported: H.263"; }
std::string Decoder::decode_h261(const std::vector<uint8_t>&, size_t) { return "unsupported: H.261"; }

}  // namespace mpeg4dec
