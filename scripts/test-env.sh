# Sourced by the test scripts (test.sh, clock-sweep.sh, ctest-at-instants.sh, .ci/run);
# build_tests from the repository's top folder. Nothing here touches the user's own data
# or settings.

# Parallel jobs of the builds and test runs: ORVANE_JOBS, or one a core.
jobs=${ORVANE_JOBS:-$(nproc 2>/dev/null || echo 2)}
if ! [[ $jobs =~ ^[1-9][0-9]*$ ]]; then
  echo "ORVANE_JOBS must be a whole number above 0, not '$jobs'" >&2
  exit 2
fi

# The tests that start the whole program in a window, the sanitizer run and the check of
# the clock sweep (which sets its own clocks): left out where only the unit tests run.
program_test_labels='whole|window|sanitize|sweep'

# Configures and builds the program, the tests and the benchmarks in build-test.
build_tests() {
  cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=ON -DORVANE_BENCH=ON
  cmake --build build-test -j "$jobs"
}

# The libfaketime library of the Debian package faketime; fails when there is none.
find_libfaketime() {
  local dir
  for dir in /usr/lib/*/faketime /usr/lib/faketime /usr/local/lib/faketime; do
    if [ -f "$dir/libfaketime.so.1" ]; then echo "$dir/libfaketime.so.1"; return 0; fi
  done
  return 1
}

# A scratch home, settings and data folder, removed when the shell exits, and the
# offscreen platform.
scratch_env() {
  scratch=$(mktemp -d /tmp/orvane-test-XXXXXX)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/home" "$scratch/config" "$scratch/data" "$scratch/tmp"
  export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  export QT_QPA_PLATFORM=offscreen
  # Without one, Qt makes a runtime folder in /tmp and leaves it there.
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -m 700 "$scratch/runtime"
    export XDG_RUNTIME_DIR="$scratch/runtime"
  fi
  unset OV_DB_PATH OV_SELFTEST_MUTATE
}
