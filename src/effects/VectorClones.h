#pragma once

// Row loops the compiler vectorises, built twice on x86-64: for the baseline processor (SSE2)
// that Debian builds for, and for AVX2, picked when the program starts on a processor that
// has it. Other processors get the one plain build.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VEXA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VEXA_VECTOR_CLONES
#endif
