// One whole run of the program, dialogue through search, with arbitrary bytes
// as its standard input. Shared by the libFuzzer target and the replay of the
// stored corpus.
#pragma once

#include <cstddef>
#include <cstdint>

// Runs in a scratch folder of its own, emptied before every run. Slashes and
// backslashes in the input become underscores, so that every file name the
// input can type stays inside that folder.
void run_fuzz_input(const std::uint8_t *data, std::size_t size);
