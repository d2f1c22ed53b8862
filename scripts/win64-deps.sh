#!/usr/bin/env bash
# Builds the libraries of the Windows x64 build from Debian's own source packages with the
# MinGW-w64 cross compiler, as static libraries, into build/win64-deps/prefix: PCRE2 (8-bit,
# JIT), libcurl on Schannel (HTTP and HTTPS only) and GoogleTest with GoogleMock. The Boost
# headers (Beast, Asio, JSON) are the build machine's own, reached through a folder of their
# own in the prefix. Each library is rebuilt only when its source version or this script
# changed. Sourced by scripts/test.sh win64; run on its own it builds the prefix.
set -euo pipefail

TRALVONIC_ROOT=${TRALVONIC_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
WIN64_DEPS=$TRALVONIC_ROOT/build/win64-deps
WIN64_PREFIX=$WIN64_DEPS/prefix
WIN64_TOOLCHAIN=$TRALVONIC_ROOT/cmake/win64-toolchain.cmake

win64_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Source packages need deb-src entries; Debian 12 keeps its sources in deb822 form.
win64_enable_sources() {
  local list=/etc/apt/sources.list.d/tralvonic-deb-src.sources
  if apt-get source --print-uris pcre2 >/dev/null 2>&1; then
    return 0
  fi
  echo "Enabling Debian's source packages ($list)"
  sed -n 's/^Types:.*/Types: deb-src/;p' /etc/apt/sources.list.d/debian.sources | win64_as_root tee "$list" >/dev/null
  win64_as_root apt-get update -qq
}

# win64_fetch PACKAGE: unpacks the source package once; prints its folder.
win64_fetch() {
  local package=$1 version folder
  version=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | head -n 1)
  folder=$WIN64_DEPS/src/$package-$version
  if [ ! -f "$folder/.unpacked" ]; then
    rm -rf "$folder" "$WIN64_DEPS/download/$package"
    mkdir -p "$WIN64_DEPS/download/$package" "$WIN64_DEPS/src"
    (cd "$WIN64_DEPS/download/$package" &&
      apt-get source -qq --download-only "$package=$version" >/dev/null 2>&1 &&
      dpkg-source -q --no-check -x ./*.dsc "$folder" >/dev/null)
    touch "$folder/.unpacked"
  fi
  echo "$folder"
}

# win64_cmake_build NAME SOURCE [CMAKE-ARGS...]: configures, builds and installs one library
# unless the stamp says this very source and these arguments are installed already.
win64_cmake_build() {
  local name=$1 source=$2; shift 2
  local stamp=$WIN64_PREFIX/.stamp-$name
  local key
  key=$(printf '%s\n' "$source" "$@" | cat - "$WIN64_TOOLCHAIN" | sha256sum | cut -d' ' -f1)
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$key" ]; then
    return 0
  fi
  echo "Building $name for Windows from $(basename "$source")"
  local build=$WIN64_DEPS/build/$name log
  rm -rf "$build"
  log=$(mktemp)
  if ! { cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_TOOLCHAIN_FILE="$WIN64_TOOLCHAIN" -DTRALVONIC_WIN64_DEPS="$WIN64_PREFIX" \
           -DCMAKE_INSTALL_PREFIX="$WIN64_PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" &&
         cmake --build "$build" -j "${TRALVONIC_JOBS:-2}" &&
         cmake --install "$build"; } >"$log" 2>&1; then
    cat "$log"; rm -f "$log"; return 1
  fi
  rm -f "$log"
  echo "$key" >"$stamp"
}

win64_build_deps() {
  win64_enable_sources
  mkdir -p "$WIN64_PREFIX"
  # Only Boost's own headers: a symbolic link to the one folder, never /usr/include itself.
  mkdir -p "$WIN64_PREFIX/boost-headers"
  ln -sfn /usr/include/boost "$WIN64_PREFIX/boost-headers/boost"

  local pcre2 curl googletest
  pcre2=$(win64_fetch pcre2)
  curl=$(win64_fetch curl)
  googletest=$(win64_fetch googletest)

  win64_cmake_build pcre2 "$pcre2" \
    -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
    -DPCRE2_SUPPORT_JIT=ON -DPCRE2_SUPPORT_UNICODE=ON -DPCRE2_BUILD_PCRE2GREP=OFF \
    -DPCRE2_BUILD_TESTS=OFF -DPCRE2_STATIC_PIC=ON

  # Schannel is Windows' own TLS: no OpenSSL goes into the DLL. Everything but HTTP(S) is off.
  win64_cmake_build curl "$curl" \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF \
    -DUSE_WIN32_IDN=OFF -DENABLE_UNICODE=OFF -DCURL_DISABLE_LDAP=ON -DHTTP_ONLY=ON \
    -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF -DCURL_STATICLIB=ON

  win64_cmake_build googletest "$googletest" \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  win64_build_deps
fi
