// The fuzz targets' check: a broken invariant is reported with what was expected and
// ends the process, which libFuzzer records as a crash along with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, ...)                                                           \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: broken: %s\n    ", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                               \
            std::fprintf(stderr, "\n");                                                      \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)
