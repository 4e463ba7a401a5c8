// libFuzzer harness: arbitrary bytes through the music decoder (see fuzz_entries.h).
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzentry::music(data, size);
  return 0;
}

// libvorbisfile 1.3.7 loses a few bytes inside ov_open when it gives up on
// some damaged streams (it has already cleared the handle, so the caller has
// nothing left to free). Not ours to mend; keep it from masking our leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }
