#include <time.h>

#include "platform/Tick.h"

namespace dunstrel::platform {

namespace {

class TMonotonicTick final : public ITickSource {
 public:
  uint32_t NowMs() const override {
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    const uint64_t Ms =
        static_cast<uint64_t>(Now.tv_sec) * 1000u + static_cast<uint64_t>(Now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(Ms);
  }
};

}  // namespace

const ITickSource& SystemTick() {
  static const TMonotonicTick Tick;
  return Tick;
}

}  // namespace dunstrel::platform
