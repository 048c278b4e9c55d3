# The Debian packages each task needs, and a check that installs the missing ones (as root) or
# prints the exact command and stops.
BUILD_PACKAGES=(build-essential cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
                libbenchmark-dev libcli11-dev fonts-liberation2)
DEMO_PACKAGES=(xvfb xauth)
# dpkg-shlibdeps (dpkg-dev) and file find the packages' dependencies from the linked libraries;
# the Windows zip needs the 64-bit mingw compilers, dpkg-source (dpkg-dev) to unpack Debian's
# Qt source, and zip.
PACKAGE_PACKAGES=(dpkg-dev file g++-mingw-w64-x86-64-posix zip)
# sigrok-cli and gtkwave read back the captures of tamsel-cli; Xvfb, xdotool and ImageMagick
# drive and photograph the Windows program's window in its end-to-end run under Wine; setcap
# (libcap2-bin) gives tamsel-cli its capability in the kernel guest. ccache keeps the suite's
# compilations between runs.
TEST_PACKAGES=(ccache g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix clang libclang-rt-14-dev wine wine32:i386 wine64
               qemu-system-x86 busybox-static cpio xz-utils lintian desktop-file-utils appstream
               sigrok-cli gtkwave xvfb xauth xdotool imagemagick unzip libcap2-bin)

missing_packages() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}

ensure_packages() {
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    # wine32 is an i386 package: the architecture must be known to dpkg first.
    local needs_i386=0
    grep -q ':i386' <<<"$missing" && ! dpkg --print-foreign-architectures | grep -qx i386 && needs_i386=1
    if [ "$(id -u)" != 0 ]; then
        echo "Missing Debian packages. Install them with:" >&2
        [ "$needs_i386" = 1 ] && echo "  sudo dpkg --add-architecture i386 && \\" >&2
        echo "  sudo apt-get update && sudo apt-get install -y" $missing >&2
        exit 1
    fi
    [ "$needs_i386" = 1 ] && dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}
