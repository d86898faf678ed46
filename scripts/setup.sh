#!/usr/bin/env bash
# Installs what dravo needs on Debian 12 and builds, once, the libraries this Debian release lacks
# (SDL 3 and SDL_mixer 3) from Debian's own source packages of newer suites into a versioned prefix
# in a cache folder outside the clone. Later runs find the prefix and return at once.
#
#   scripts/setup.sh            install packages (when missing) and build the prefix (when missing)
#   scripts/setup.sh --prefix   print the prefix path only
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=${DRAVO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/dravo}
sdl_ver=3.2.10+ds-1
mixer_ver=3.2.4+ds-1
prefix=$cache/prefix-sdl3-3.2.10-mixer-3.2.4-r1

if [ "${1:-}" = "--prefix" ]; then echo "$prefix"; exit 0; fi

say() { printf 'setup: %s\n' "$*" >&2; }
die() { printf 'setup: error: %s\n' "$*" >&2; exit 1; }

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev dpkg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxext-dev libxcursor-dev libxi-dev libxfixes-dev libxrandr-dev libxss-dev libxtst-dev
  libxkbcommon-dev libwayland-dev wayland-protocols libdecor-0-dev libegl-dev libgl-dev libgles-dev
  libasound2-dev libpulse-dev libpipewire-0.3-dev libudev-dev libdbus-1-dev
  xvfb xauth freepats timgm6mb-soundfont
  debian-archive-keyring gzip lua5.4
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing Debian packages: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q >/dev/null || die "apt-get update failed"
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null \
    || die "apt-get install failed for: ${missing[*]}"
fi

if [ -f "$prefix/.complete" ]; then exit 0; fi

# A private apt configuration: the machine's own sources stay untouched.
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$cache/src"
cat > "$apt_dir/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian sid main
LIST
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o Debug::NoLocking=1)

fetch() {  # fetch PACKAGE VERSION DIRNAME
  local pkg=$1 ver=$2 dir=$3
  if [ -d "$cache/src/$dir" ]; then return 0; fi
  say "fetching source package $pkg=$ver"
  (cd "$cache/src" && apt-get "${apt_opts[@]}" source --download-only "$pkg=$ver" >/dev/null 2>&1) \
    || die "could not download the source package $pkg=$ver (is deb.debian.org reachable?)"
  local dsc
  dsc=$(ls "$cache/src/${pkg}_${ver#*:}.dsc" 2>/dev/null) || die "no .dsc for $pkg=$ver"
  (cd "$cache/src" && dpkg-source --no-check -x "$dsc" "$dir.tmp" >/dev/null) || die "could not unpack $dsc"
  mv "$cache/src/$dir.tmp" "$cache/src/$dir"
}

say "updating the private source lists"
apt-get "${apt_opts[@]}" update -q >/dev/null 2>&1 || die "apt-get update of the private source lists failed"
fetch libsdl3 "$sdl_ver" sdl3
fetch libsdl3-mixer "$mixer_ver" sdl3-mixer

rm -rf "$cache/build"
mkdir -p "$cache/build"

if [ ! -f "$prefix/.sdl3-complete" ]; then
rm -rf "$prefix"
say "building SDL 3 (about two minutes)"
cmake -S "$cache/src/sdl3" -B "$cache/build/sdl3" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
  -DSDL_TESTS=OFF -DSDL_TEST_LIBRARY=OFF -DSDL_EXAMPLES=OFF -DSDL_INSTALL_DOCS=OFF -DSDL_X11=ON \
  -DSDL_WAYLAND=ON -DSDL_OPENGL=ON -DSDL_OPENGLES=ON -DSDL_ALSA=ON -DSDL_PULSEAUDIO=ON -DSDL_PIPEWIRE=ON \
  -DSDL_JACK=OFF -DSDL_SNDIO=OFF -DSDL_OSS=OFF -DSDL_KMSDRM=OFF >"$cache/build/sdl3.log" 2>&1 \
  || die "configuring SDL 3 failed; see $cache/build/sdl3.log"
cmake --build "$cache/build/sdl3" >>"$cache/build/sdl3.log" 2>&1 || die "building SDL 3 failed; see $cache/build/sdl3.log"
cmake --install "$cache/build/sdl3" >>"$cache/build/sdl3.log" 2>&1 || die "installing SDL 3 failed"
touch "$prefix/.sdl3-complete"
fi

say "building SDL_mixer 3"
mixer_src=$cache/build/sdl3-mixer-src
cp -a "$cache/src/sdl3-mixer" "$mixer_src"
patch -d "$mixer_src" -p1 -s < "$here/scripts/sdl3-mixer-on-sdl-3.2.patch" || die "the SDL_mixer patch does not apply"
cmake -S "$mixer_src" -B "$cache/build/sdl3-mixer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_PREFIX_PATH="$prefix" \
  -DSDLMIXER_VENDORED=OFF -DSDLMIXER_DEPS_SHARED=OFF -DSDLMIXER_TESTS=OFF \
  -DSDLMIXER_EXAMPLES=OFF -DSDLMIXER_WAVE=ON -DSDLMIXER_VOC=ON -DSDLMIXER_VORBIS_STB=ON -DSDLMIXER_VORBIS_VORBISFILE=OFF \
  -DSDLMIXER_MIDI=ON -DSDLMIXER_MIDI_TIMIDITY=ON -DSDLMIXER_MIDI_FLUIDSYNTH=OFF -DSDLMIXER_FLAC_DRFLAC=ON \
  -DSDLMIXER_FLAC_LIBFLAC=OFF -DSDLMIXER_MP3_DRMP3=ON -DSDLMIXER_MP3_MPG123=OFF -DSDLMIXER_OPUS=OFF -DSDLMIXER_GME=OFF \
  -DSDLMIXER_MOD=OFF -DSDLMIXER_WAVPACK=OFF >"$cache/build/mixer.log" 2>&1 \
  || die "configuring SDL_mixer failed; see $cache/build/mixer.log"
cmake --build "$cache/build/sdl3-mixer" >>"$cache/build/mixer.log" 2>&1 || die "building SDL_mixer failed; see $cache/build/mixer.log"
cmake --install "$cache/build/sdl3-mixer" >>"$cache/build/mixer.log" 2>&1 || die "installing SDL_mixer failed"

rm -rf "$cache/build"
touch "$prefix/.complete"
say "dependencies ready in $prefix"
