#pragma once
// The fuzzer's one mutation engine. Bytes: flips, overwrites, inserted, deleted, duplicated,
// moved and spliced runs, truncation, and the byte sequences text readers trip over. JSON: the
// seed is parsed and written out again, and on the way chosen values change type, members vanish
// or repeat, values sink under deep nesting, numbers turn huge or tiny, and strings grow long or
// carry invalid UTF-8, lone surrogates, NUL and byte-order marks. Most JSON results still parse,
// so the readers get past their parse step and meet the odd values themselves.
#include "fuzz/FuzzRandom.h"

#include <string>
#include <vector>

namespace rudfuzz {

// One to `maxSteps` byte mutations of `input`; `donors` feed the splices. Capped at `maxSize` bytes.
std::string MutateBytes(std::string input, FuzzRandom& random, const std::vector<std::string>& donors,
                        size_t maxSteps = 4, size_t maxSize = 1 << 20);

// A JSON-aware mutation of `seedJson`, byte mutations when it does not parse. `maxNesting`
// bounds the depth of added nesting.
std::string MutateJson(const std::string& seedJson, FuzzRandom& random, const std::vector<std::string>& donors,
                       size_t maxNesting = 5000);

} // namespace rudfuzz
