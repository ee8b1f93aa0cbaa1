#pragma once
// Mutations that know nothing of the format: flips, overwrites, inserted, deleted, duplicated
// and spliced runs, truncation, and the few byte sequences text readers trip over (NUL, a
// byte-order mark in the middle, broken UTF-8).
#include "fuzz/FuzzRandom.h"

#include <string>
#include <vector>

namespace rudfuzz {

// One to `maxSteps` mutations of `input`; `donors` feed the splices. The result is capped at
// `maxSize` bytes.
std::string MutateBytes(std::string input, FuzzRandom& random, const std::vector<std::string>& donors,
                        size_t maxSteps = 4, size_t maxSize = 1 << 20);

// Bytes that end, escape, or break text and JSON.
const std::vector<std::string>& AwkwardByteRuns();

} // namespace rudfuzz
