#!/usr/bin/env bash
# The editor's page in Debian's chromium, driven by playwright-core from npm
# (installed once into the build tree from the committed lock file; never a
# browser download). run_browser_test.sh OUT_DIR PAGE_SERVER
# Without chromium or node it skips (exit 77), except in CI, where it fails.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$1"
server="$2"

missing=""
[ -x /usr/bin/chromium ] || missing="chromium"
command -v node >/dev/null && command -v npm >/dev/null || missing="$missing node/npm"
if [ -n "$missing" ]; then
    echo "browser test: $missing not installed (tools/bootstrap.sh installs them)" >&2
    [ "${CI:-}" = "true" ] && exit 1
    exit 77
fi

mkdir -p "$out"
# A fresh install only when the lock file changed.
if ! cmp -s "$here/package-lock.json" "$out/package-lock.json" ||
    [ ! -f "$out/node_modules/playwright-core/package.json" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$out/"
    (cd "$out" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --ignore-scripts \
        --loglevel=error >/dev/null)
fi
cp "$here/browser_test.mjs" "$out/"
exec node "$out/browser_test.mjs" "$server" "$out/editor_page.png"
