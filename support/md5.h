// MD5 (RFC 1321) of the sample programs' output pictures (--md5).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kvnsupport {

class Md5 {
 public:
  Md5();
  void update(const uint8_t* p, size_t n);
  std::string hex();  // finishes

 private:
  void block(const uint8_t* p);
  uint32_t h_[4];
  uint8_t buf_[64];
  size_t len_ = 0;
  uint64_t total_ = 0;
};

}  // namespace kvnsupport
