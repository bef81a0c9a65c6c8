#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite and builds the .deb
# (cpack) and checks what it holds; then builds it all
# again with AddressSanitizer and UBSan (./build-asan) and runs the suite there, and
# (except in CI) gives every fuzz target a short run and replays its regression cases.
# In CI everything is built once, with the sanitizers (see below).
#
# LP_QUICK=1 stops after the normal build, its tests and the package (for a quick local
# check; CI runs the sanitizer build, the package and the suites, not the fuzz pass). LP_FUZZ_SECONDS sets the seconds per fuzz target
# (default 5; given in CI, the fuzz pass runs there too).
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage's time on the log, so a slow CI run shows where its minutes went.
stage_start=$SECONDS
stage() {
    echo "== $1 (after $((SECONDS - stage_start)) s)"
}
scripts/install-deps.sh
scripts/check-layers.sh
scripts/check-portable.sh
scripts/check-format.sh
scripts/check-unit.sh
# Most suites wait on real time (simulated meters, brokers, processes), not the CPU.
tests_at_once=$(($(nproc) + 1))

# The package of the build in folder $1: what it holds, its dependencies, its units.
check_package() {
    stage "Debian package (cpack -G DEB, $1)"
    (
        cd "$1"
        rm -f levelpanel_*.deb
        cpack -G DEB >cpack.log || { cat cpack.log; exit 1; }
        deb=$(ls levelpanel_*.deb)
        contents=$(dpkg-deb --contents "$deb")
        for f in ./usr/bin/levelpanel ./usr/bin/levelpanel-cli ./usr/libexec/levelpanel/levelpanel-cli-report \
            ./usr/share/applications/levelpanel.desktop ./usr/share/mime/packages/levelpanel.xml \
            ./usr/share/icons/hicolor/scalable/apps/levelpanel.svg \
            ./usr/lib/systemd/system/levelpanel-record@.service \
            ./usr/lib/systemd/system/levelpanel-collect@.service \
            ./usr/share/doc/levelpanel/examples/record-example.env \
            ./usr/share/doc/levelpanel/examples/collect-example.env \
            ./usr/share/doc/levelpanel/examples/week/log-2026-12-0{1,2,3,4,5,6,7}.sdm{,.meta} \
            ./usr/share/doc/levelpanel/examples/rating/plant-{on,off}.sdm{,.meta} \
            ./usr/share/doc/levelpanel/examples/assess/{garden,workshop-mon,workshop-tue,bedroom,night}.sdm{,.meta}; do
            grep -q " $f\$" <<<"$contents" || { echo "$deb lacks $f"; exit 1; }
        done
        depends=$(dpkg-deb --field "$deb" Depends)
        grep -q libqt6widgets6 <<<"$depends" || { echo "$deb: no Qt in Depends: $depends"; exit 1; }
        # The units name the installed program (read from the package unpacked: a pipe that
        # stops reading early would kill dpkg-deb with SIGPIPE).
        unpacked=$(mktemp -d)
        dpkg-deb -x "$deb" "$unpacked"
        for unit in record collect; do
            grep -q "^ExecStart=/usr/bin/levelpanel-cli $unit " \
                "$unpacked/usr/lib/systemd/system/levelpanel-$unit@.service" ||
                { echo "$deb: levelpanel-$unit@.service does not start /usr/bin/levelpanel-cli $unit"; exit 1; }
        done
        rm -rf "$unpacked"
        echo "$deb: $(du -k "$deb" | cut -f1) KiB, programs, desktop entry, MIME type, icon, units and example surveys in it"
    )
}

sanitizer_build() {
    stage "Sanitizer build (build-asan)"
    # -O1 -g1: quicker to build than the normal -O2 -g, still with file and line in reports.
    # The benchmarks and the screenshot tool are left out: the normal build builds them, and
    # no test runs them.
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DLP_SANITIZE=ON -DLP_WERROR=ON -DLP_BENCH=OFF \
        -DLP_SCREENSHOTS=OFF -DLP_TESTS=ON >/dev/null
    cmake --build build-asan --parallel "$(nproc)"
}

sanitizer_tests() {
    stage "Sanitizer tests"
    (
        cd build-asan
        export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
        export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 --parallel "$tests_at_once"
    )
}

if [ "${CI:-}" = true ]; then
    # CI builds once: everything with the sanitizers and warnings as errors; the suites
    # run there, and the package is made from that build (what it holds, its
    # dependencies and units are the same for any build). A local run builds the normal
    # build too, with its suites, benchmarks and screenshot tool, and the fuzz targets.
    sanitizer_build
    check_package build-asan
    sanitizer_tests
else
    stage "Build"
    scripts/build.sh -DLP_WERROR=ON
    stage "Tests"
    (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 --parallel "$tests_at_once")
    check_package build
    if [ "${LP_QUICK:-0}" = 1 ]; then
        echo "LP_QUICK=1: sanitizer build and fuzz pass skipped."
        exit 0
    fi
    sanitizer_build
    sanitizer_tests
fi

if [ "${CI:-}" = true ] && [ -z "${LP_FUZZ_SECONDS:-}" ]; then
    echo "The fuzz pass is left to scripts/fuzz.sh in CI (LP_FUZZ_SECONDS=N runs it here)."
else
    stage "Fuzz pass"
    scripts/fuzz.sh "${LP_FUZZ_SECONDS:-5}"
fi
stage "Done"
