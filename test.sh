#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test but the fault campaign, which scripts/sanitize.sh runs.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/install-deps.sh" --tests
"$top/scripts/build.sh" -DTARNO_BUILD_TESTS=ON
cd "${TARNO_BUILD_DIR:-$top/build}"
ctest --output-on-failure --timeout 600 -j"$(nproc)" -LE campaign
