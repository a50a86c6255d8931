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
    # XML read from disk goes through pugixml, never through the GUI library's reader.
    libpugixml-dev
    # The preset map's multidimensional scaling: dense matrices and the self-adjoint eigen solver.
    libeigen3-dev
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

# apt and dpkg take these locks while they work; another run (an unattended upgrade, a second build)
# would make apt-get fail at once, so we wait for it, saying why.
LOCKS=(/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock)
LOCK_WAIT_SECONDS=600

# "PID (name)" of each process holding one of the locks. /proc/locks is readable without root and needs no
# extra tool; its lines read "1: POSIX  ADVISORY  WRITE <pid> <major>:<minor>:<inode> 0 EOF", and lines
# with "->" are processes still waiting, not holders.
lock_holders() {
    local lock inode pid holders=()
    for lock in "${LOCKS[@]}"; do
        inode=$(stat -c %i "$lock" 2>/dev/null) || continue
        while read -r pid; do
            holders+=("$pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo "?"))")
        done < <(awk -v inode="$inode" '$2 != "->" { n = split($6, id, ":"); if (id[n] == inode) print $5 }' \
                     /proc/locks 2>/dev/null)
    done
    if [ "${#holders[@]}" -gt 0 ]; then
        printf '%s\n' "${holders[@]}" | sort -u | paste -sd, - | sed 's/,/, /g'
    fi
}

wait_for_package_manager() {
    local waited=0 holders
    while holders=$(lock_holders) && [ -n "$holders" ]; do
        if [ "$waited" -ge "$LOCK_WAIT_SECONDS" ]; then
            echo "Another package manager still holds its lock after $LOCK_WAIT_SECONDS seconds" \
                 "(held by $holders): let it finish, then run this again." >&2
            exit 1
        fi
        if [ $((waited % 30)) -eq 0 ]; then
            echo "Waiting for another package manager to finish (lock held by $holders)..."
        fi
        sleep 5
        waited=$((waited + 5))
    done
}

# Between our look and apt's own locking another run may still start: apt then waits too, as long.
APT=(env DEBIAN_FRONTEND=noninteractive apt-get -o "DPkg::Lock::Timeout=$LOCK_WAIT_SECONDS")
wait_for_package_manager
"${SUDO[@]}" "${APT[@]}" update
wait_for_package_manager
"${SUDO[@]}" "${APT[@]}" install -y --no-install-recommends "${missing[@]}"
