#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, touching apt only when something is missing.
set -euo pipefail

# The one list of packages the project builds, tests and runs with.
PACKAGES=(
    build-essential cmake ninja-build pkg-config
    juce-modules-source
    libasound2-dev libjack-jackd2-dev libfreetype-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev
    libgtest-dev libbenchmark-dev
    zlib1g-dev libpng-dev libjpeg-dev
    # xvfb-run needs xauth, which apt would only recommend.
    xvfb xauth fonts-dejavu-core
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    # dpkg -s also succeeds for removed-but-configured packages, so check the state word.
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
