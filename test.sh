#!/usr/bin/env bash
# Installs what is missing, builds telematico and runs every test. Then builds the tests
# without windows and the fuzz drivers once more with the address and undefined-behaviour
# sanitizers (build-asan), runs those tests there and fuzzes the CU run, the UniEmens series
# and the check before sending for a minute each: any sanitizer report fails the script.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DTELEMATICO_BUILD_GUI=ON
cmake --build build --parallel "$(nproc)"
(cd build && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)

# A sanitizer report ends the program that made it with status 23: an undefined-behaviour
# report (float-cast-overflow included: a double too large for a whole type) stops it at
# once (halt_on_error), an address error always does, and leaks fail it at its end
# (LeakSanitizer works here, as root too). 23 is no status of the programs, so a
# test that runs telematico-cli and expects 1 cannot take a report for a stopped run.
export ASAN_OPTIONS=detect_leaks=1:exitcode=23
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=23
sanitizers="-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer"
# Debug keeps the assertions; without optimisation and with line tables only (-g1) the
# sanitizer build takes a quarter of the time it takes with -O1 -g.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1" -DBUILD_TESTING=ON \
  -DTELEMATICO_BUILD_GUI=OFF -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers"
cmake --build build-asan --parallel "$(nproc)"
(cd build-asan && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
build-asan/tools/cu_fuzz --seconds 60
build-asan/tools/uniemens_fuzz --seconds 60
build-asan/tools/check_fuzz --seconds 60
