#pragma once
// What a fuzz target asserts about the code under test. A failed check prints what broke and
// aborts, which libFuzzer reports as a crash and saves the input that caused it.

#include <cstdio>
#include <cstdlib>

#define QX_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
