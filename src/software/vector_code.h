// Whether this build carries the software path's x86-64 vector code: the
// CMake option LUMIVAARA_SIMD (on by default) and a compiler targeting
// x86-64. Elsewhere, and with the option off, the same loops are plain
// scalar code.
#pragma once

#if defined(LUMIVAARA_SIMD) && defined(__x86_64__) && defined(__GNUC__)
#define LUMIVAARA_VECTOR_CODE 1
// Loops built twice, for AVX2 and the baseline; the loader picks one by
// what the processor has.
#define LUMIVAARA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LUMIVAARA_VECTOR_CODE 0
#define LUMIVAARA_VECTOR_CLONES
#endif
