#!/usr/bin/env bash
# Catches, on Linux, product code that Visual Studio 2022 would refuse although mingw-w64 builds
# it: every product .cpp goes through clang in Microsoft mode against Wine's Windows and CRT
# headers and libc++ (syntax only), every .rc file through llvm-rc (rc.exe's grammar), and the
# sources are searched for GCC-only spellings. It cannot see cl.exe's own quirks, its /W4
# warnings, linking, or the real 3ds Max SDK's headers.
#
#   scripts/msvc_syntax.sh BUILD_DIR DEPS_PREFIX
# BUILD_DIR holds generated/ (RUDVersion.h); DEPS_PREFIX/include holds jsoncpp's headers.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build folder}
deps=${2:?deps prefix}
cd "$here"

product_dirs=(core host analysis submit ui plugin)
failed=0
fail() { echo "msvc_syntax: $*" >&2; failed=1; }

clang_major=$(clang++ --version 2>/dev/null | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
libcxx=/usr/lib/llvm-${clang_major}/include/c++/v1
wine_include=/usr/include/wine/wine
for need in "$libcxx" "$wine_include/windows" "$wine_include/msvcrt"; do
  [ -d "$need" ] || { echo "msvc_syntax: $need is missing: run scripts/setup.sh (clang, libc++-dev, libwine-dev)" >&2; exit 2; }
done
command -v llvm-rc >/dev/null || { echo "msvc_syntax: llvm-rc is missing: run scripts/setup.sh (llvm)" >&2; exit 2; }

# Visual Studio's mode: its target and compatibility level, C++17, and every extension it lacks
# (variable-length arrays, designated initializers before C++20, statement expressions, ...)
# made an error. Our own headers are not system headers, so the rule reaches them too.
flags=(--target=x86_64-pc-windows-msvc -fms-compatibility -fms-extensions -fms-compatibility-version=19.38
  -fno-delayed-template-parsing -std=c++17 -pedantic-errors -fsyntax-only
  -nostdinc++ -isystem "$libcxx" -isystem "$here/scripts/msvc-shims" -isystem "$deps/include"
  -isystem /usr/share/mingw-w64/include/gdiplus -isystem "$wine_include/msvcrt" -isystem "$wine_include/windows"
  -D_LIBCPP_NO_VCRUNTIME -DWINE_UNICODE_NATIVE -D_InterlockedCompareExchange128=__wine_InterlockedCompareExchange128
  -DUNICODE -D_UNICODE -DNOMINMAX -DWIN32_LEAN_AND_MEAN -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00
  -DISOLATION_AWARE_ENABLED=1 -D_CRT_SECURE_NO_WARNINGS
  -I "$here" -I "$build/generated" -isystem "$here/standins/maxsdk/include")

log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
export log
compile() {
  local out="$log/$(echo "$1" | tr '/' '_').txt"
  clang++ "${@:2}" "$1" >"$out" 2>&1 || echo "$1" >>"$log/failed"
}
export -f compile
find "${product_dirs[@]}" -name '*.cpp' -print0 | sort -z |
  xargs -0 -P "$(nproc)" -I{} bash -c 'compile "$@"' _ {} "${flags[@]}"
if [ -s "$log/failed" ]; then
  while read -r file; do
    fail "$file does not compile in Visual Studio's mode:"
    grep -E 'error' "$log/$(echo "$file" | tr '/' '_').txt" | head -n 8 >&2
  done <"$log/failed"
fi
count=$(find "${product_dirs[@]}" -name '*.cpp' | wc -l)

# The resource scripts in rc.exe's grammar (llvm-rc ignores #pragma code_page: /C 65001).
rc_count=0
for rc in resources/lang/*.rc resources/RUD_Rendering_2025.rc; do
  rc_count=$((rc_count + 1))
  if ! llvm-rc /C 65001 /D RC_INVOKED "/DWINELIB_NAME_AW(x)=x##W" /I "$here" /I "$build/generated" \
      /I "$wine_include/windows" /I "$wine_include/msvcrt" /FO "$log/out.res" "$rc" >"$log/rc.txt" 2>&1; then
    fail "$rc does not compile with rc.exe's grammar:"
    head -n 8 "$log/rc.txt" >&2
  fi
done

# GCC spellings that clang accepts even in Microsoft mode.
gcc_only='__attribute__|__builtin_|#[[:space:]]*include_next|\b(__)?typeof(__)?\b|\([[:space:]]*\{[^{}]*;'
if hits=$(grep -rnE "$gcc_only" --include='*.cpp' --include='*.h' --include='*.rc' "${product_dirs[@]}" resources); then
  fail "GCC-only spellings in product code:"
  echo "$hits" >&2
fi

if [ $failed = 0 ]; then
  echo "msvc_syntax: $count product sources, $rc_count resource scripts and the spelling search pass in Visual Studio's mode"
fi
exit $failed
