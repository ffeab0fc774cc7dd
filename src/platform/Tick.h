#pragma once

#include <cstdint>

namespace dunstrel::platform {

// A millisecond counter that wraps at 2^32, so differences must be taken in unsigned 32-bit
// arithmetic.
class ITickSource {
 public:
  virtual ~ITickSource() = default;
  virtual uint32_t NowMs() const = 0;
};

const ITickSource& SystemTick();

}  // namespace dunstrel::platform
