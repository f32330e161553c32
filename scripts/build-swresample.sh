#!/usr/bin/env bash
# Cross-builds FFmpeg's libswresample as a static library for MinGW, from
# Debian's ffmpeg source package, once; the result is cached under
# build/deps/<arch>/ (include/ and lib/). Usage: build-swresample.sh i686|x86_64
set -euo pipefail
arch=${1:?usage: build-swresample.sh i686|x86_64}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/build/deps/$arch"
if [ -f "$out/lib/libswresample.a" ] && [ -f "$out/lib/libavutil.a" ]; then
    exit 0
fi
src="$root/build/deps/src"
mkdir -p "$src"
if [ ! -x "$src/ffmpeg/configure" ]; then
    (cd "$src" && apt-get source --download-only ffmpeg >/dev/null 2>&1)
    tarball=$(ls "$src"/ffmpeg_*.orig.tar.* | head -n1)
    rm -rf "$src/ffmpeg" && mkdir -p "$src/ffmpeg"
    tar -xf "$tarball" -C "$src/ffmpeg" --strip-components=1
fi
work="$root/build/deps/work-$arch"
rm -rf "$work" && mkdir -p "$work"
cd "$work"
"$src/ffmpeg/configure" --prefix="$out" --enable-cross-compile \
    --cross-prefix="$arch-w64-mingw32-" --target-os=mingw32 \
    --arch="$([ "$arch" = i686 ] && echo x86_32 || echo x86_64)" \
    --disable-everything --disable-programs --disable-doc --disable-network \
    --disable-avcodec --disable-avformat --disable-avdevice --disable-avfilter \
    --disable-swscale --disable-postproc --disable-x86asm --disable-debug \
    --enable-swresample --enable-static --disable-shared >configure.log 2>&1
make -j"$(nproc)" >make.log 2>&1
make install >install.log 2>&1
rm -rf "$work"
