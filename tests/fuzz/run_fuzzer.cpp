// libFuzzer entry: a whole run: settings, course and input script, 2000 drawn frames.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static std::unique_ptr<fuzz::WorkDir> dir = std::make_unique<fuzz::WorkDir>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken = fuzz::RunWhole(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
