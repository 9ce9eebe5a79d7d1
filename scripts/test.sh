#!/usr/bin/env bash
# Builds and runs every test: the whole program with its tests, the Qt-free layers again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Windows cross build of the Qt-free layers,
# and a short run of each fuzz target over its seed corpus. Warnings are errors when CI=true.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
need_packages "${BASE_PACKAGES[@]}" "${QT_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FONT_PACKAGES[@]}"

jobs=$(nproc)
werror=OFF
[ "${CI:-}" = true ] && werror=ON
fuzz_seconds=${BFR_FUZZ_SECONDS:-20}
out="$root/build"
passed=0
failed=0

# run_ctest DIR: runs one build's tests and adds them to the totals.
run_ctest() {
    local log rc=0
    log=$(mktemp)
    ctest --test-dir "$1" --output-on-failure --parallel "$jobs" 2>&1 | tee "$log" || rc=$?
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
    rm -f "$log"
    if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    else
        failed=$((failed + 1))
    fi
    return $rc
}

status=0
step() { echo; echo "==> $*"; }

step "Build and test everything"
cmake -S "$root" -B "$out/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBFR_WERROR=$werror >/dev/null
cmake --build "$out/test" --parallel "$jobs"
run_ctest "$out/test" || status=1

step "Qt-free layers under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$out/sanitize" -DCMAKE_BUILD_TYPE=Debug -DBFR_WERROR=$werror \
    -DBFR_BUILD_WINDOW=OFF -DBFR_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    >/dev/null
cmake --build "$out/sanitize" --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest "$out/sanitize" || status=1

step "Windows cross build of the Qt-free layers (mingw-w64)"
if cmake -S "$root" -B "$out/mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBFR_WERROR=$werror -DBFR_BUILD_WINDOW=OFF \
    -DBFR_BUILD_TESTS=OFF -DBFR_BUILD_BENCH=OFF >/dev/null &&
    cmake --build "$out/mingw" --parallel "$jobs"; then
    passed=$((passed + 1))
else
    echo "Windows cross build failed" >&2
    failed=$((failed + 1))
    status=1
fi

step "Fuzz targets, ${fuzz_seconds}s each over the seed corpus"
if CXX=clang++ cmake -S "$root" -B "$out/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBFR_WERROR=$werror -DBFR_BUILD_WINDOW=OFF -DBFR_BUILD_TESTS=OFF -DBFR_BUILD_BENCH=OFF \
    -DBFR_BUILD_FUZZ=ON >/dev/null &&
    cmake --build "$out/fuzz" --parallel "$jobs"; then
    for target in "$root"/fuzz/corpus/*/; do
        name=$(basename "$target")
        work="$out/fuzz/corpus-$name"
        mkdir -p "$work"
        if "$out/fuzz/fuzz/$name" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
            "$work" "$target" >"$out/fuzz/$name.log" 2>&1; then
            echo "fuzz $name: no crash in ${fuzz_seconds}s"
            passed=$((passed + 1))
        else
            tail -n 40 "$out/fuzz/$name.log"
            failed=$((failed + 1))
            status=1
        fi
    done
else
    echo "fuzz build failed" >&2
    failed=$((failed + 1))
    status=1
fi

echo
echo "all: $passed passed, $failed failed"
exit $status
