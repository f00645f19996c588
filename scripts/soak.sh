#!/bin/sh
# The soak: a million random mouse events (or the number given) over the created
# world, built with AddressSanitizer and UndefinedBehaviorSanitizer, the world's
# invariants checked after every event. Prints the events run and the breaks found.
set -eu
cd "$(dirname "$0")/.."
events="${1:-1000000}"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target zimblet_soak >/dev/null
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0" \
    build/sanitize/tests/zimblet_soak "$events"
