#!/bin/sh
# Installs the Debian 12 packages that Velmora's builds, tests and run need,
# as root (through sudo when run as another user). Does nothing when they are
# all there.
set -eu

packages="cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest python3-pefile
g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
wine wine64 wine32:i386 fonts-wine xvfb x11-utils
osslsigncode openssl unzip xorriso"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
# npm installs the workflow linter. A machine that has Node.js from elsewhere
# (NodeSource's package carries npm itself) keeps it: Debian's npm would
# replace that Node.js with its own older one.
if ! command -v npm >/dev/null 2>&1; then
    missing="$missing nodejs npm"
fi
if [ -z "$missing" ]; then
    exit 0
fi

as_root=""
if [ "$(id -u)" -ne 0 ]; then
    as_root="sudo"
fi
echo "Installing:$missing"
# wine32 is an i386 package: the 32-bit Velmora.exe runs in it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $as_root dpkg --add-architecture i386
fi
# A mirror that is part way through a sync may fail to give one index (it
# has given bookworm-security's i386 one so): apt then goes on without it.
$as_root apt-get update -q || true
apt_install() {
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends "$@" \
        $missing
}
if ! apt_install; then
    # Without the security suite's i386 index, an i386 library such as
    # liblzma5:i386 exists only in the release, while apt would take its
    # amd64 twin from the security suite: the two must be the same version,
    # so nothing is installed. Taking both from the release resolves it.
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Installing again, preferring $release's own versions to those of its updates:" \
        "apt could not resolve the packages as indexed (see above)."
    apt_install -t "$release"
fi
