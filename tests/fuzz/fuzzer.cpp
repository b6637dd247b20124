// The libFuzzer entry of every target: RACER_FUZZ_BODY names the body in
// fuzz_harness.h that each input goes through (RunSettings, RunCourse,
// RunScript or RunWhole).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_harness.h"
#include "support/test_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static testing_support::ScopedTempDir dir;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken =
      fuzz::RACER_FUZZ_BODY(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
