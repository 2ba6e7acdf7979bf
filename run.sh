#!/usr/bin/env bash
# Installs what is missing, builds Zorvik and starts the desktop client with
# the arguments given (a settings file, "mailto:ADDRESS", -init, -noreg).
# `./run.sh --cli COMMAND...` runs zorvik-cli, the same engine without windows.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

cli=0
if [ "${1:-}" = "--cli" ]; then
  cli=1
  shift
fi
if [ $cli -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "zorvik: no display; start it on a virtual screen with \`xvfb-run -a ./run.sh\`, or use \`./run.sh --cli help\`" >&2
  exit 1
fi

"$here/scripts/install-deps.sh" build

build="$here/build-release"
target=zorvik
[ $cli -eq 1 ] && target=zorvik-cli
[ -x "$build/apps/zorvik/zorvik" ] || [ $cli -eq 1 ] ||
  echo "zorvik: building the desktop client (the first start takes some minutes; log: $build/build.log)" >&2
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DZORVIK_TESTS=OFF -DZORVIK_FUZZ=OFF >/dev/null
if ! cmake --build "$build" --target "$target" >"$build/build.log" 2>&1; then
  cat "$build/build.log" >&2
  exit 1
fi

if [ $cli -eq 1 ]; then
  exec "$build/apps/zorvik-cli/zorvik-cli" "$@"
fi
exec "$build/apps/zorvik/zorvik" "$@"
