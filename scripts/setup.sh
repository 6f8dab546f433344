#!/usr/bin/env bash
# Installs what is missing from Debian's packages, builds Tarvo and runs it or its tests.
#   scripts/setup.sh run              build in Release and start the program
#   scripts/setup.sh test             build in Release and run every test
#   scripts/setup.sh test --sanitize  the same in build-sanitize/ with ASan and UBSan
#   scripts/setup.sh install          only install what is missing (scripts/package.sh uses it)
set -euo pipefail

mode=${1:-}
sanitize=no
[ "${2:-}" = "--sanitize" ] && sanitize=yes
case "$mode" in
    run | test | install) ;;
    *)
        echo "usage: scripts/setup.sh run|test|install [--sanitize]" >&2
        exit 2
        ;;
esac

cd "$(dirname "$0")/.."

# Besides the build: the tests hand metafiles to wmf2gd (libwmf-bin, whose fonts Debian only
# recommends: fonts-urw-base35) and to ImageMagick (its WMF reader is in the -extra package),
# run the metafile checker with python3, build a German locale with localedef (locales), read
# printed and saved PDF pages with poppler-utils (pdfinfo, pdftoppm, pdftotext), check that saved
# SVG drawings are well-formed XML with xmllint (libxml2-utils) and
# check the code's format (clang-format); xvfb and xauth let a person try the real window on a
# machine without a display. The history of analyses (src/history, read by the window and by
# tarvo-scan) is an SQLite file: libsqlite3-dev, and sqlite3, its shell, to look into one by
# hand. clang and its runtime libraries
# (libclang-rt-14-dev: libFuzzer and the sanitizers) build the settings file's fuzz harnesses,
# which the tests run for a few seconds.
packages=(cmake make g++ pkg-config python3 qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
    libbenchmark-dev fonts-liberation2 libwmf-bin fonts-urw-base35 imagemagick libmagickcore-6.q16-6-extra
    locales poppler-utils libxml2-utils clang-format xvfb xauth libsqlite3-dev sqlite3 clang libclang-rt-14-dev)
# The Debian package: scripts/package.sh needs dpkg-shlibdeps (dpkg-dev) and file to compute its
# dependencies; CI checks it with lintian, appstreamcli (appstream), desktop-file-validate
# (desktop-file-utils) and man (man-db, for the manual pages).
packages+=(dpkg-dev file lintian appstream desktop-file-utils man-db)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$mode" = install ] && exit 0

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$sanitize" = yes ]; then
    build=build-sanitize
    # Debug: the sanitizers find the faults; -O0 keeps this second build short.
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON
else
    build=build
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "$jobs"

if [ "$mode" = test ]; then
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
    ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600
else
    exec "$build/src/app/tarvo"
fi
