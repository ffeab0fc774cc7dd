#include "MachineReference.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace dunstrel::bench {

double MachineReferenceMs() {
  std::vector<uint64_t> Values(10'000'000);
  std::mt19937_64 Random(7);
  for (uint64_t& Value : Values) {
    Value = Random();
  }
  const auto Start = std::chrono::steady_clock::now();
  std::sort(Values.begin(), Values.end());
  const std::chrono::duration<double, std::milli> Elapsed =
      std::chrono::steady_clock::now() - Start;
  return Elapsed.count();
}

}  // namespace dunstrel::bench
