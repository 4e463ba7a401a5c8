// libFuzzer harness: arbitrary bytes through the model3ds decoder (see fuzz_entries.h).
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzentry::model3ds(data, size);
  return 0;
}
