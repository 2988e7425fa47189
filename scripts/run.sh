#!/usr/bin/env bash
# Installs what is missing, builds, and starts the card program beside its data files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh" build
bash "$root/scripts/build.sh"
exec "$root/build/bin/tovaro" "$@"
