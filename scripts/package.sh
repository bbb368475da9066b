#!/usr/bin/env bash
# Builds the Debian package build-package/velumina_<version>_amd64.deb (cpack) and checks it
# with lintian, which fails the script on errors; warnings are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

# dpkg-dev computes the dependencies from the program (dpkg-shlibdeps).
velumina_install_packages dpkg-dev lintian
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
velumina_configure build-package -DCMAKE_BUILD_TYPE=Release -DVELUMINA_WERROR=ON -DVELUMINA_BUILD_TESTS=OFF \
    -DVELUMINA_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-package -j "$(nproc)"
rm -f build-package/velumina_*.deb
(cd build-package && cpack -G DEB)
deb="$(ls build-package/velumina_*_amd64.deb)"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
lintian --fail-on error --display-info "$deb"
echo "Built $deb"
