// libFuzzer harness: arbitrary bytes through the jpeg decoder (see fuzz_entries.h).
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzentry::jpeg(data, size);
  return 0;
}
