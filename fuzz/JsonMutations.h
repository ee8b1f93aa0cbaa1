#pragma once
// Mutations that know JSON: the seed is parsed and written out again, and on the way chosen
// values change type, members vanish or repeat, values sink under deep nesting, numbers and
// number texts turn huge or tiny, and strings grow long or carry invalid UTF-8, lone
// surrogates, NUL and byte-order marks. Most results still parse, so the readers get past their
// parse step and meet the odd values themselves.
#include "fuzz/FuzzRandom.h"

#include <string>
#include <vector>

namespace rudfuzz {

// A JSON-aware mutation of `seedJson`; falls back to byte mutations when the seed does not parse.
// `maxNesting` bounds the depth of added nesting.
std::string MutateJson(const std::string& seedJson, FuzzRandom& random, const std::vector<std::string>& donors,
                       size_t maxNesting = 5000);

} // namespace rudfuzz
