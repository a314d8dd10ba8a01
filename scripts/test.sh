#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests
# through CTest, the built-in self-check, then the snapshot mode into a scratch
# folder. Exits non-zero when anything fails.
# Nothing here touches the user's own data or settings.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh

source scripts/test-env.sh
build_tests
scratch_env

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
