#!/bin/sh
# The soak: the random-stream test with a million random mouse events (or the number
# given) instead of 200,000, built with AddressSanitizer and UndefinedBehaviorSanitizer,
# the world's invariants checked after every event and every redrawn picture compared.
set -eu
cd "$(dirname "$0")/.."
events="${1:-1000000}"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target core_tests >/dev/null
ZIMBLET_SOAK_STREAMS=$(((events + 9999) / 10000)) \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0" \
    build/sanitize/tests/core_tests --gtest_filter='RandomEventStreams.*'
