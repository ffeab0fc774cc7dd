#include <windows.h>

#include "platform/Tick.h"

namespace dunstrel::platform {

namespace {

class TWin32Tick final : public ITickSource {
 public:
  uint32_t NowMs() const override { return GetTickCount(); }
};

}  // namespace

const ITickSource& SystemTick() {
  static const TWin32Tick Tick;
  return Tick;
}

}  // namespace dunstrel::platform
