// libFuzzer harness: arbitrary bytes through the pcx decoder (see fuzz_entries.h).
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzentry::pcx(data, size);
  return 0;
}
