#!/usr/bin/env bash
# Installs what a fresh machine lacks for the Linux cross-build: the mingw-w64 (posix threads)
# compiler, Wine, Xvfb, ImageMagick, 7-Zip, a CJK font, and jsoncpp/GoogleTest built for mingw
# into a prefix inside the build tree. Safe to run again: every step checks before it acts.
set -Eeuo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${RUD_BUILD_DIR:-$here/build}
step="checking what is installed"
trap 'code=$?; echo "setup: error while $step: \"$BASH_COMMAND\" failed with exit code $code (line $LINENO)" >&2
      echo "setup: what to do: check the network and that you run as root (apt-get needs both); if build/deps is damaged, delete it; then run again" >&2' ERR
deps=$build/deps
mkdir -p "$deps"

need_apt=()
have() { command -v "$1" >/dev/null 2>&1; }
have x86_64-w64-mingw32-g++-posix || need_apt+=(g++-mingw-w64-x86-64-posix mingw-w64)
have wine || need_apt+=(wine wine64)
have Xvfb || need_apt+=(xvfb xauth)
have import || need_apt+=(imagemagick)
have 7zz || need_apt+=(7zip)
have cmake || need_apt+=(cmake)
have make || need_apt+=(make)
[ -d /usr/src/googletest ] || need_apt+=(googletest)
[ -d /usr/share/fonts/truetype/wqy ] || need_apt+=(fonts-wqy-microhei)
have fc-list || need_apt+=(fontconfig)
have xdpyinfo || need_apt+=(x11-utils)
have ss || need_apt+=(iproute2)
have python3 || need_apt+=(python3)
have xmllint || need_apt+=(libxml2-utils)
# The compile in Visual Studio's mode and the resource compiler of rc.exe's grammar.
have clang++ || need_apt+=(clang)
have llvm-rc || need_apt+=(llvm)
[ -d /usr/include/wine/wine/windows ] || need_apt+=(libwine-dev)
ls -d /usr/lib/llvm-*/include/c++/v1 >/dev/null 2>&1 || need_apt+=(libc++-dev libc++abi-dev)

apt_updated=0
apt_update() { [ $apt_updated = 1 ] || { apt-get update -qq; apt_updated=1; }; }
if [ ${#need_apt[@]} -gt 0 ]; then
  step="installing ${need_apt[*]} with apt-get"
  echo "setup: installing ${need_apt[*]}"
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need_apt[@]}" >/dev/null
fi

# A Chinese locale, so that tests can run Wine with a Chinese Windows language (LANG).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  if ! have localedef || [ ! -f /usr/share/i18n/locales/zh_CN ]; then
    apt_update
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends locales >/dev/null
  fi
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# jsoncpp has no mingw package: build Debian's source package with the cross toolchain.
if [ ! -f "$deps/prefix/lib/cmake/jsoncpp/jsoncppConfig.cmake" ]; then
  step="building jsoncpp for mingw from Debian's source package"
  src_list=/etc/apt/sources.list.d/rud-deb-src.sources
  if [ ! -f "$src_list" ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$src_list"
    apt_updated=0
  fi
  apt_update
  mkdir -p "$deps/src" && cd "$deps/src"
  ls libjsoncpp_*.orig.tar.gz >/dev/null 2>&1 || apt-get source --download-only -qq libjsoncpp >/dev/null
  rm -rf jsoncpp-src && mkdir jsoncpp-src && tar -xzf libjsoncpp_*.orig.tar.gz -C jsoncpp-src --strip-components=1
  cmake -S jsoncpp-src -B jsoncpp-build -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/prefix" \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF \
    -DJSONCPP_WITH_CMAKE_PACKAGE=ON >/dev/null
  cmake --build jsoncpp-build -j"$(nproc)" >/dev/null
  cmake --install jsoncpp-build >/dev/null
fi

if [ ! -f "$deps/prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  step="building GoogleTest for mingw"
  cmake -S /usr/src/googletest -B "$deps/src/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-posix.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/prefix" -Dgtest_disable_pthreads=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$deps/src/gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$deps/src/gtest-build" >/dev/null
fi
echo "setup: ready"
