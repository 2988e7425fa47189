#!/usr/bin/env bash
# Installs the Debian packages the project needs and that are missing.
# usage: deps.sh build|test|bench      (test and bench include build)
set -euo pipefail

build_packages=(cmake ninja-build ccache g++ qt6-base-dev qt6-base-dev-tools libgl-dev
    libjpeg-dev zlib1g-dev libsqlite3-dev libcups2-dev libicu-dev libquazip1-qt6-dev libfreexl-dev pkg-config
    libharfbuzz-dev libdeflate-dev libgtest-dev libgmock-dev
    fonts-arphic-ukai fonts-arphic-uming fonts-noto-cjk fonts-wqy-zenhei fonts-dejavu-core fonts-liberation)
test_packages=(clang libclang-rt-14-dev cups cups-client printer-driver-cups-pdf cups-filters
    printer-driver-gutenprint poppler-utils qpdf sqlite3 imagemagick
    desktop-file-utils appstream ghostscript mupdf-tools fonts-noto-color-emoji xfonts-base)
bench_packages=(libpugixml-dev python3-reportlab glabels poppler-utils)

wanted=("${build_packages[@]}")
case "${1:-build}" in
    build) ;;
    test) wanted+=("${test_packages[@]}") ;;
    bench) wanted+=("${test_packages[@]}" "${bench_packages[@]}") ;;
    *) echo "usage: $0 build|test|bench" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them as root with:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq || true
apt-get install -y -qq --no-install-recommends "${missing[@]}"
