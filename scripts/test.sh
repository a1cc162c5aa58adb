#!/usr/bin/env bash
# What CI runs (.ci/run), in three steps; any failure ends it non-zero:
#  1. suite:    the ordinary build (setup.sh) with -Wshadow and every warning
#               an error, and every test through CTest;
#  2. sanitize: a clang build with AddressSanitizer, UndefinedBehaviorSanitizer
#               and the fuzzer's coverage (no benchmarks), where the whole suite
#               runs again: any sanitizer report or leak fails its test;
#  3. fuzz:     every fuzz target of that build for VELTRIX_FUZZ_SECONDS (30)
#               from its seed corpus, two at a time.
# VELTRIX_TEST_STEPS names the steps to run (all three without it). CI's time
# limit holds because ccache keeps both builds between runs (setup.sh).
# Extra arguments go to the ordinary build's configure step.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
steps=${VELTRIX_TEST_STEPS:-"suite sanitize fuzz"}
jobs=$(nproc)
build=${VELTRIX_BUILD_DIR:-"$root/build"}
sanitize=${VELTRIX_SANITIZE_BUILD_DIR:-"$root/build-sanitize"}

step() { echo "== $1 ($(date +%T))"; }

if [[ " $steps " == *" suite "* ]]; then
  step "ordinary build and suite"
  bash "$root/scripts/setup.sh" -DVELTRIX_WERROR=ON "$@"
  (cd "$build" && ctest --output-on-failure --timeout 300 -j "$jobs")
fi

if [[ " $steps " == *" sanitize "* || " $steps " == *" fuzz "* ]]; then
  step "sanitizer and fuzz build"
  # -O1 and line tables only: the sanitizers' advice, and half the compile time
  # of the ordinary build's flags; reports still name files and lines.
  CC=clang CXX=clang++ VELTRIX_BUILD_DIR="$sanitize" bash "$root/scripts/setup.sh" \
    -DVELTRIX_FUZZ=ON -DVELTRIX_BENCHMARKS=OFF \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only"
fi

if [[ " $steps " == *" sanitize "* ]]; then
  step "suite under the sanitizers"
  (cd "$sanitize" && ctest --output-on-failure --timeout 600 -j "$jobs" -LE fuzz)
fi

if [[ " $steps " == *" fuzz "* ]]; then
  step "fuzz targets"
  (cd "$sanitize" && ctest --output-on-failure -j 2 -L fuzz)
fi
step "done"
