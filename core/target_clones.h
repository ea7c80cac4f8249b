#pragma once

// TAPWRIGHT_TARGET_CLONES("avx2", "default") builds a function once per instruction
// set and picks one at load time. Under ThreadSanitizer the picking resolver runs
// before the sanitizer's runtime is set up and crashes, so that build keeps only the
// default version.

#if defined(__SANITIZE_THREAD__)
#define TAPWRIGHT_TARGET_CLONES(...)
#else
#define TAPWRIGHT_TARGET_CLONES(...) __attribute__((target_clones(__VA_ARGS__)))
#endif
