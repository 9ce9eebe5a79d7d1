# Shared by the set-up scripts: installs the Debian packages a step needs when they are missing.

# need_packages PKG...: installs the missing ones with apt-get (as root, or through sudo).
need_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
        echo "note: not a Debian system; make sure these (or their equivalents) are installed: $*" >&2
        return 0
    fi
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || {
            echo "error: please install as root: apt-get install ${missing[*]}" >&2
            return 1
        }
        sudo=(sudo)
    fi
    echo "Installing Debian packages: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# The packages every build needs.
BASE_PACKAGES=(cmake make g++ pkg-config)
QT_PACKAGES=(qt6-base-dev libgl-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
               mingw-w64 g++-mingw-w64-x86-64-posix)
FONT_PACKAGES=(fonts-ipafont-gothic)
