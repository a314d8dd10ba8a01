#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests
# through CTest, the built-in self-check, then the snapshot mode into a scratch
# folder. Exits non-zero when anything fails.
# Nothing here touches the user's own data or settings.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=ON -DORVANE_BENCH=ON
cmake --build build-test -j "$jobs"

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

(cd build-test && ctest --output-on-failure -j "$jobs")

echo "Running orvane --selftest"
# QSettings in INI format names the file .ini; .conf is the native format's name.
settings_left() { compgen -G "$XDG_CONFIG_HOME/QNMR/QNMR Orvane.*" > /dev/null; }
status=0
TMPDIR="$scratch/tmp" OV_DATA_DIR="$root/data" ./build-test/orvane --selftest || status=$?
if settings_left; then
  echo "FAIL: the self-check left a settings file behind"; status=1
fi
if compgen -G "$scratch/tmp/ov-selftest-*" > /dev/null; then
  echo "FAIL: the self-check left its scratch folder behind"; status=1
fi

echo "Running orvane --ov-snapshot"
snap_status=0
OV_DATA_DIR="$root/data" ./build-test/orvane --ov-snapshot "$scratch/snapshot" || snap_status=$?
if [ "$snap_status" -ne 0 ]; then
  echo "FAIL: the snapshot mode ended with exit code $snap_status"; status=1
fi
if settings_left; then
  echo "FAIL: the snapshot mode left a settings file behind"; status=1
fi
exit $status
