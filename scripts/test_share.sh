#!/usr/bin/env bash
# Prints how much of the code is test code: lines of C++, shell and Python in the files git
# tracks, without blank lines and lines that hold only a comment. Tests are tests/ and fuzz/;
# all code is the product (host/ and pipeline/ included), its resources, the stand-ins, the tests, the fuzzer and the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(c|cc|cpp|cxx|h|hpp|hxx|inl|sh|py)$' | xargs -r cat |
    grep -c -v -E '^\s*((//|#).*)?$' || true
}
tests=$(count tests fuzz)
all=$(count plugin core host analysis submit ui pipeline resources standins tests fuzz bench)
awk -v t="$tests" -v a="$all" 'BEGIN { printf "test code: %d of %d lines (%.1f %%)\n", t, a, a ? 100 * t / a : 0 }'
