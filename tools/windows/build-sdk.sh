#!/usr/bin/env bash
# Builds the Windows x64 SDK tools/windows/build.sh links against, from Debian
# 12's source packages with Debian's MinGW-w64 cross compiler (posix threads):
#   qt/       Qt 5.15.8 qtbase for win32-g++, shared, release; the host tools
#             in qt/bin (qmake, moc, rcc, uic) are Linux programs
#   curl/     libcurl 7.88.1, shared, with Schannel (Windows' own TLS) and zlib
#   7zip/     the standalone console 7-Zip, 7za.exe, also as 7z.exe; src/
#             7-Zip's C sources (decoders, Util/SfxSetup) and their licence,
#             for a self-extracting stub
#   sodium/   libsodium 1.0.18, static
#   runtime/  the MinGW runtime DLLs and zlib1.dll that go beside a program
#   VERSIONS  what went in, with the Debian revisions
# Each library is built from its source package as dpkg-source unpacks it,
# that is with Debian's patches applied (the security fixes above all); for
# curl the two flavour patches for GnuTLS and NSS are taken off again, as
# Debian's own rules do. The DLLs and programs are stripped.
#
#   tools/windows/build-sdk.sh [--tarball FILE.tar.xz] OUTPUT_DIR
#
# About 40-60 minutes on two cores, nearly all of it Qt. The work happens in
# OUTPUT_DIR.work (sources, objects, logs, a private apt state; delete it
# afterwards if you like); run again after a failure and the finished steps
# are skipped. OUTPUT_DIR/.built appears only once everything is in place.
# --tarball also packs the SDK as winsdk/, like the team's shared tarball.
# NERIX_SDK_JOBS sets make's parallel jobs (default: all cores).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
host=x86_64-w64-mingw32
jobs=${NERIX_SDK_JOBS:-$(nproc)}

out=""
tarball=""
while [ $# -gt 0 ]; do
    case "$1" in
        --tarball) tarball=$(realpath -m "${2:?--tarball needs a file name}"); shift 2 ;;
        -h|--help) sed -n '2,25p' "$0"; exit 0 ;;
        -*) echo "unknown option: $1" >&2; exit 2 ;;
        *) [ -z "$out" ] || { echo "one output folder only" >&2; exit 2; }
           out=$(realpath -m "$1"); shift ;;
    esac
done
[ -n "$out" ] || { echo "usage: $0 [--tarball FILE.tar.xz] OUTPUT_DIR" >&2; exit 2; }
# Qt's configure and libtool both break on such prefixes.
case "$out" in *[[:space:]]*) echo "no spaces in the output path, please: $out" >&2; exit 2 ;; esac
work=$out.work
mkdir -p "$out" "$work/stamps-patched" "$work/logs"
# Complete again only once this run has finished.
rm -f "$out/.built"

# --- packages: the cross compiler and the build tools; a host g++ for Qt's
# own tools, zlib for Windows for libcurl
NERIX_EXTRA_PACKAGES="g++ make perl autoconf automake libtool libz-mingw-w64-dev dpkg-dev" \
    "$root/tools/install-deps.sh" windows

# The unsuffixed cross compiler names follow the system's alternatives, which
# can point at the win32-threads flavour; every build here sees the posix one
# under those names.
mkdir -p "$work/bin"
for tool in "/usr/bin/$host"-*-posix; do
    name=${tool##*/}
    ln -sfn "$tool" "$work/bin/${name%-posix}"
done
export PATH="$work/bin:$PATH"
# Flags meant for the host must not reach the cross builds.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS PKG_CONFIG_PATH PKG_CONFIG_LIBDIR

# --- steps
# A step runs unless it finished before and what it leaves is still there.
# Its output goes to a log, whose end is shown when it fails.
log=""
trap 'rc=$?; if [ $rc -ne 0 ] && [ -n "$log" ]; then
    echo "failed; the end of $log:" >&2; tail -n 40 "$log" >&2; fi' EXIT
step() {
    local name=$1 leaves=$2 start=$SECONDS
    shift 2
    if [ -f "$work/stamps-patched/$name" ] && [ -e "$leaves" ]; then
        echo "$name: finished before"
        return
    fi
    echo "$name (log: $work/logs/$name.log)"
    log=$work/logs/$name.log
    "$@" >"$log" 2>&1
    log=""
    touch "$work/stamps-patched/$name"
    echo "$name: $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s"
}
nice_make() { nice -n 19 make -j"$jobs" "$@"; }

# Unpacked with Debian's patches applied, into a side folder first, so an
# interrupted unpack is not taken for a finished one.
unpack() {
    local dir=$work/$1
    # A tree without debian/ is an unpatched one from an older recipe.
    [ -d "$dir/debian" ] && return
    rm -rf "$dir" "$work/src/$1.part"
    # Beside the .dsc, or dpkg-source copies the tarballs next to the tree;
    # apt-get checked the files against the archive's signed index already.
    (cd "$work/src" && dpkg-source --no-check -x "$(ls $2_*.dsc)" "$1.part")
    mv "$work/src/$1.part" "$dir"
}

# apt-get source needs deb-src entries. They live in a private apt state for
# Debian 12 on the mirrors of the machine's own deb entries (deb.debian.org
# for a suite it has none for), so /etc/apt stays as it is.
apt_dir=$work/apt
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
          # The folders are ours; apt's unprivileged download user may not reach them.
          -o APT::Sandbox::User="$(id -un)")
machine_deb_entries() {
    local deb822=() one_line=()
    shopt -s nullglob
    deb822=(/etc/apt/sources.list.d/*.sources)
    one_line=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
    shopt -u nullglob
    # URI and suite of every enabled deb entry.
    [ ${#deb822[@]} -eq 0 ] || awk '
        function flush(  n, m, i, j, s, u) {
            if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                n = split(suites, s, " "); m = split(uris, u, " ")
                for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[j], s[i]
            }
            types = suites = uris = enabled = ""
        }
        FNR == 1 || /^[[:space:]]*$/ { flush() }
        /^[[:space:]]*#/ { next }
        { key = tolower($1); $1 = "" }
        key == "types:" { types = $0 }
        key == "uris:" { uris = $0 }
        key == "suites:" { suites = $0 }
        key == "enabled:" { enabled = tolower($2) }
        END { flush() }' "${deb822[@]}"
    for f in "${one_line[@]}"; do
        [ -f "$f" ] && sed -nE 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+([^[:space:]]+).*/\2 \3/p' "$f"
    done
    return 0
}
fetch_sources() {
    local entries suite uris uri
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    entries=$(machine_deb_entries)
    for suite in bookworm bookworm-updates bookworm-security; do
        uris=$(awk -v s=$suite '$2 == s { print $1 }' <<<"$entries" | sort -u)
        if [ -z "$uris" ]; then
            uris=http://deb.debian.org/debian
            [ $suite != bookworm-security ] || uris=http://deb.debian.org/debian-security
        fi
        for uri in $uris; do
            echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $suite main"
        done
    done >"$apt_dir/sources.list"
    cat "$apt_dir/sources.list"
    apt-get "${apt_opts[@]}" update
    # A fresh folder: one version of each, whatever an earlier try fetched.
    rm -rf "$work/src" && mkdir "$work/src"
    (cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only qtbase-opensource-src curl 7zip libsodium)
}

build_sodium() (
    unpack sodium libsodium
    cd "$work/sodium"
    [ -f configure ] || ./autogen.sh -s
    nice -n 19 ./configure --host=$host --prefix="$out/sodium" --enable-static --disable-shared
    nice_make
    nice_make install
)

# The standalone console program: its formats built in, no 7z.dll beside it.
build_7zip() (
    unpack 7zip 7zip
    cd "$work/7zip/CPP/7zip/Bundles/Alone"
    mkdir -p b
    nice_make -f makefile.gcc IS_MINGW=1 IS_X64=1 PLATFORM=x64 O=b/mingw USE_ASM= MY_ARCH= \
        CROSS_COMPILE=$host- CC=$host-gcc CXX=$host-g++ RC=$host-windres CFLAGS_WARN=
    mkdir -p "$out/7zip"
    install -m 755 b/mingw/7za.exe "$out/7zip/7za.exe"
    install -m 755 b/mingw/7za.exe "$out/7zip/7z.exe"
    # Debian's build-flags patch drops the makefile's own strip.
    $host-strip "$out/7zip/7za.exe" "$out/7zip/7z.exe"
    # The C sources (the decoders and Util/SfxSetup) and their licence.
    cd "$work/7zip"
    rm -rf "$out/7zip/src" && mkdir -p "$out/7zip/src/DOC"
    cp -r C "$out/7zip/src/C"
    cp DOC/License.txt DOC/copying.txt DOC/readme.txt DOC/7zC.txt DOC/lzma.txt "$out/7zip/src/DOC/"
)

# Debian's last two patches make its GnuTLS and NSS flavours; the build
# here is neither, so they come off again and configure is made anew.
unpack_curl() (
    [ -f "$work/curl/.flavours-off" ] && exit 0
    # A tree left half-way is unpacked afresh.
    rm -rf "$work/curl"
    unpack curl curl
    cd "$work/curl"
    for patch in 99_nss.patch 90_gnutls.patch; do
        patch -R -p1 <"debian/patches/$patch"
    done
    autoreconf -fi
    touch .flavours-off
)
build_curl() (
    unpack_curl
    cd "$work/curl"
    nice -n 19 ./configure --host=$host --prefix="$out/curl" --with-schannel --with-zlib=/usr/$host \
        --enable-shared --disable-static --disable-ldap --disable-ldaps --disable-manual --disable-docs \
        --without-libpsl --without-brotli --without-zstd --without-nghttp2 --without-libidn2 --without-libssh2 \
        --without-librtmp --without-ngtcp2 --without-nghttp3
    nice_make
    nice_make install
    $host-strip --strip-unneeded "$out/curl/bin/libcurl-4.dll"
)

# Debian's source drops the Wintab header, hence no tablet events.
configure_qt() (
    unpack qtbase qtbase-opensource-src
    cd "$work/qtbase"
    nice -n 19 ./configure -xplatform win32-g++ -device-option CROSS_COMPILE=$host- -platform linux-g++ \
        -prefix "$out/qt" -opensource -confirm-license -release -shared -strip \
        -nomake examples -nomake tests -no-opengl -no-vulkan -no-direct2d -no-dbus -no-icu -no-openssl \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-harfbuzz -no-freetype -no-fontconfig \
        -no-sql-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -no-feature-sql -no-feature-tabletevent
)
build_qt() (
    cd "$work/qtbase"
    nice_make
    nice_make install
)

start=$SECONDS
step sources "$work/src" fetch_sources
step sodium "$out/sodium/lib/libsodium.a" build_sodium
step 7zip "$out/7zip/7z.exe" build_7zip
step curl "$out/curl/bin/libcurl-4.dll" build_curl
step qt-configure "$work/qtbase/config.status" configure_qt
step qt "$out/qt/lib/cmake/Qt5/Qt5Config.cmake" build_qt

# -strip covers what qmake's Makefiles install; qmake itself, built by
# configure, is copied as it is, debug information and all (28 MB).
strip "$out/qt/bin/qmake"
# Kept as in the shared SDK: whatever asks for the host tools by their
# Windows names finds the Linux programs.
for tool in qmake moc rcc uic; do
    ln -sfn "$tool" "$out/qt/bin/$tool.exe"
done

# --- the DLLs every program built with this compiler and libcurl needs
mkdir -p "$out/runtime"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll; do
    path=$($host-g++ -print-file-name=$dll)
    [ -f "$path" ] || { echo "$dll not found beside $host-g++" >&2; exit 1; }
    install -m 755 "$path" "$out/runtime/$dll"
done
# Debian ships them with their debug information (libstdc++ alone is 24 MB of it).
$host-strip --strip-unneeded "$out"/runtime/*.dll

# --- VERSIONS: upstream versions from the sources, Debian's revisions from
# the changelogs of the trees built
debian_version() { dpkg-parsechangelog -l "$work/$1/debian/changelog" -SVersion; }
c_define() { sed -n "s/^#define $2 \"\(.*\)\"/\1/p" "$1"; }
cat >"$out/VERSIONS" <<EOF
qtbase $(sed -n 's/^MODULE_VERSION = //p' "$work/qtbase/.qmake.conf") (Debian 12 source qtbase-opensource-src $(debian_version qtbase), Debian's patches), win32-g++, shared, release, tablet events off
curl $(c_define "$work/curl/include/curl/curlver.h" LIBCURL_VERSION) (Debian 12 source curl $(debian_version curl), Debian's patches but the GnuTLS and NSS flavours), Schannel, zlib
7-Zip $(c_define "$work/7zip/C/7zVersion.h" MY_VERSION_NUMBERS) (Debian 12 source 7zip $(debian_version 7zip), Debian's patches), 7za standalone, also as 7z.exe
libsodium $(sed -n "s/^PACKAGE_VERSION='\(.*\)'/\1/p" "$work/sodium/configure") (Debian 12 source libsodium $(debian_version sodium), Debian's patches), static
7-Zip's C sources (decoders, Util/SfxSetup) in 7zip/src/C, licence in 7zip/src/DOC
$($host-g++-posix --version | head -n1)
built by tools/windows/build-sdk.sh
EOF

if [ -n "$tarball" ]; then
    echo "packing $tarball"
    mkdir -p "$(dirname "$tarball")"
    # Named winsdk/ inside whatever the folder is called; the symlinks keep
    # their relative targets.
    nice -n 19 tar -cJf "$tarball" -C "$out" --sort=name --owner=0 --group=0 --numeric-owner \
        --exclude=./.built --transform 's,^\.,winsdk,S' .
fi

touch "$out/.built"
echo "SDK in $out ($(du -sh "$out" | cut -f1), $(( (SECONDS - start) / 60 )) min this run)"
