# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the run and test commands: install what is missing, then build.
set -euo pipefail

KARDELO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KARDELO_BUILD="${KARDELO_BUILD:-$KARDELO_ROOT/build}"
KARDELO_SANITIZE_BUILD="${KARDELO_SANITIZE_BUILD:-$KARDELO_ROOT/build-sanitize}"

# Everything the program, its tests and its sample server need on Debian 12.
KARDELO_PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n qt6-qpa-plugins
  # Qt Linguist's lupdate and lrelease, and their CMake functions, for the
  # publisher's tool's Chinese translation.
  qt6-tools-dev qt6-l10n-tools
  # ICU's Han-Latin transliterator is where the search's pinyin comes from.
  libicu-dev
  libcurl4-openssl-dev libcpp-httplib-dev libqrencode-dev libgstreamer1.0-dev libbenchmark-dev libfontconfig-dev libxcb1-dev
  fonts-noto-cjk
  gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-libav
  curl python3 openssl libssl-dev ca-certificates
  dpkg-dev file desktop-file-utils appstream lintian
  clang-format git
  dbus dbus-daemon libglib2.0-bin playerctl
)
# Only the test command needs a real web server, a sound server of its own
# to hear what the player plays, and a virtual display with keys to press
# for the tests that drive the real program: running it installs none.
KARDELO_TEST_ONLY_PACKAGES=(nginx-light pulseaudio pulseaudio-utils xvfb xdotool)

# kardelo_install_missing [package...]: those named too.
kardelo_install_missing() {
  local missing=()
  local package
  for package in "${KARDELO_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  if [[ " ${missing[*]} " == *" nginx-light "* ]]; then
    kardelo_keep_nginx_service_off "${sudo[@]}"
  fi
}

# The tests start nginx themselves, as the user running them, on a free
# loopback port with a configuration of their own; the system service that
# installing the package starts (on port 80) is not theirs to leave running,
# so it is stopped and kept from starting at boot. An nginx that was there
# before is left alone.
kardelo_keep_nginx_service_off() {
  if [ -d /run/systemd/system ]; then
    "$@" systemctl disable --now nginx.service
  elif [ -s /run/nginx.pid ]; then
    "$@" /usr/sbin/nginx -s quit
    "$@" update-rc.d nginx disable
  fi
}

# kardelo_build [target...]: everything when no target is named.
kardelo_build() {
  cmake -S "$KARDELO_ROOT" -B "$KARDELO_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  local targets=()
  local target
  for target in "$@"; do
    targets+=(--target "$target")
  done
  cmake --build "$KARDELO_BUILD" -j"$(nproc)" "${targets[@]}"
}

# The sanitizer builds, with clang 14: address and undefined behaviour over
# the whole suite and the fuzz targets, threads over the suites whose code
# runs threads. Any report ends the test that made it, and so fails the run.
# llvm-14's symbolizer gives the thread sanitizer's reports their functions,
# which its suppressions name.
KARDELO_SANITIZE_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)
KARDELO_THREAD_SANITIZE_BUILD="${KARDELO_THREAD_SANITIZE_BUILD:-$KARDELO_ROOT/build-tsan}"
# The test areas (tests/<area>/) whose code hands work between threads.
KARDELO_THREAD_SANITIZE_AREAS=(platform download playback shell views)

# kardelo_configure_clang build-folder build-type sanitizers compile-flags [cmake option...]:
# clang 14 with -fsanitize=<sanitizers> on compiling and linking, no benchmarks.
kardelo_configure_clang() {
  local folder="$1" type="$2" sanitizers="$3" flags="$4"
  shift 4
  CC=clang-14 CXX=clang++-14 cmake -S "$KARDELO_ROOT" -B "$folder" \
    -DCMAKE_BUILD_TYPE="$type" -DKARDELO_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=$sanitizers $flags -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" "$@"
}
# kardelo_configure_sanitized build-folder build-type [cmake option...]
kardelo_configure_sanitized() {
  local folder="$1" type="$2"
  shift 2
  kardelo_configure_clang "$folder" "$type" address,undefined -fno-sanitize-recover=undefined -DKARDELO_FUZZ=ON "$@"
}
kardelo_build_sanitized() {
  kardelo_configure_sanitized "$KARDELO_SANITIZE_BUILD" Debug
  cmake --build "$KARDELO_SANITIZE_BUILD" -j"$(nproc)"
}
# The thread sanitizer's build holds only those areas' tests and what they
# run; -O1, as its authors advise, for the speed the timed waits of the
# tests need.
kardelo_build_thread_sanitized() {
  kardelo_configure_clang "$KARDELO_THREAD_SANITIZE_BUILD" Debug thread "-O1 -g" -DKARDELO_FUZZ=OFF
  local targets=() area test_source
  for area in "${KARDELO_THREAD_SANITIZE_AREAS[@]}"; do
    for test_source in "$KARDELO_ROOT/tests/$area/"*Test.cpp; do
      targets+=(--target "$(basename "$test_source" .cpp)")
    done
  done
  cmake --build "$KARDELO_THREAD_SANITIZE_BUILD" -j"$(nproc)" "${targets[@]}"
}
# The ctest pattern of those areas' tests.
kardelo_thread_sanitized_tests() {
  local IFS='|'
  echo "^(${KARDELO_THREAD_SANITIZE_AREAS[*]})\\."
}
