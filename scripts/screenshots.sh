#!/usr/bin/env bash
# Pictures of the desktop client for docs/screenshots: a demo store made
# with zorvik-cli (scripts/demo-store.sh), the main window in its main
# states and every dialog (the galleries of tests/ui/gallery), on a virtual
# X screen with the CJK fonts a user would have.
#
#   scripts/screenshots.sh [BUILD_DIR]    default: build-test
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-test}"
out="$here/docs/screenshots"

cmake --build "$build" --target zorvik-cli zorvik_window_gallery zorvik_dialog_gallery >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
settings=$("$here/scripts/demo-store.sh" "$build/apps/zorvik-cli/zorvik-cli" "$scratch/demo")
mkdir -p "$out"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch" LANG=ja_JP.UTF-8
mkdir -p "$HOME"
xvfb-run -a -s "-screen 0 1280x860x24" \
  "$build/tests/ui/gallery/zorvik_window_gallery" "$settings" "$out"
xvfb-run -a -s "-screen 0 1280x860x24" "$build/tests/ui/gallery/zorvik_dialog_gallery" "$out"
