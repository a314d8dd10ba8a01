#!/usr/bin/env bash
# Builds the program with AddressSanitizer and UndefinedBehaviorSanitizer in a build
# folder of its own (build-sanitize, or $ORVANE_SANITIZE_BUILD), then runs the walk
# and the storm (3,000 events unless ORVANE_STORM_EVENTS says otherwise) on it in a
# virtual display. The storm's menu steps start imports, backups and exports, so the
# background jobs run under the sanitizers too. Every finding is written to a log in
# the output folder; the run fails when either test fails or any log exists.
# Slow (a full instrumented build and about half an hour of storm): not part of the
# default test run. ORVANE_JOBS sets the build's parallel jobs (default 3).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${ORVANE_SANITIZE_BUILD:-$root/build-sanitize}
jobs=${ORVANE_JOBS:-3}
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_TESTS=OFF -DORVANE_BENCH=OFF \
      -DORVANE_PCH=OFF "${launcher[@]}" -DCMAKE_CXX_FLAGS="$flags" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null || exit 1
cmake --build "$build" -j "$jobs" --target orvane || exit 1

for tool in xvfb-run xdotool import sqlite3; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool missing"; exit 0; }
done

out="$build/sanitize-run"
rm -rf "$out"
mkdir -p "$out"
# Leaks are not looked for: the windowing libraries keep caches until exit, and
# what matters here is memory misuse and undefined behaviour during the storm.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:log_path=$out/asan"
export UBSAN_OPTIONS="print_stacktrace=1:log_path=$out/ubsan"
export OV_DATA_DIR="$root/data"
export ORVANE_STORM_EVENTS=${ORVANE_STORM_EVENTS:-3000}
xvfb=(xvfb-run -a -s "-screen 0 1600x1000x24")

status=0
echo "walk under the sanitizers"
"${xvfb[@]}" tests/whole/walk-test.sh "$build/orvane" "$out/walk-shots" || status=1
echo "storm of $ORVANE_STORM_EVENTS events under the sanitizers"
"${xvfb[@]}" tests/whole/storm-test.sh "$build/orvane" "$out/storm-shots" || status=1

if compgen -G "$out/asan*" >/dev/null || compgen -G "$out/ubsan*" >/dev/null; then
  echo "FAIL: sanitizer findings:"
  cat "$out"/asan* "$out"/ubsan* 2>/dev/null | head -200
  status=1
fi
[ "$status" = 0 ] && echo "sanitizers: clean"
exit $status
