#!/usr/bin/env bash
# Installs what is missing, builds Zorvik and starts it. Until the desktop
# client exists this runs zorvik-cli with the arguments given.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh" build

build="$here/build-release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZORVIK_TESTS=OFF -DZORVIK_FUZZ=OFF >/dev/null
if ! cmake --build "$build" --target zorvik-cli >"$build/build.log" 2>&1; then
  cat "$build/build.log" >&2
  exit 1
fi

exec "$build/apps/zorvik-cli/zorvik-cli" "$@"
