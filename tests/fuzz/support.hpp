// The property check of the fuzz targets: a property that fails is a finding, and the fuzzer
// saves the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(property)                                          \
    do {                                                              \
        if (!(property)) {                                            \
            std::fprintf(stderr, "property broken: %s\n", #property); \
            std::abort();                                             \
        }                                                             \
    } while (false)
