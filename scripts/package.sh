#!/usr/bin/env bash
# Builds the Debian package build/tarvo_<version>_<arch>.deb with CPack from a Release build.
#   scripts/package.sh        then: sudo apt install ./build/tarvo_<version>_<arch>.deb
# It installs what is missing (scripts/setup.sh install), uses the Release build in build/ that
# `scripts/setup.sh run|test` make (configuring it the same way when there is none), and builds
# only what the package holds: the two programs and their data, not the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh install
build=build
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target tarvo tarvo-scan tarvo_data

# A package left from an earlier version must not be taken for this one.
rm -f "$build"/tarvo_*.deb
(cd "$build" && cpack -G DEB --config CPackConfig.cmake)
package=$(ls "$build"/tarvo_*.deb)
echo "Built $package"
