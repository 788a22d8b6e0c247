#!/usr/bin/env bash
# The web tests: the harness's own tests in Node, then the game's page in headless Chromium.
#   scripts/run-web-tests.sh [BUILD_FOLDER]             the tests (build-web by default)
#   scripts/run-web-tests.sh --figures [BUILD_FOLDER]   the page's weight, start-up and frame times
# `make test-web` and `make web-figures` build the page first. The npm packages are installed exactly as
# tests/web/package-lock.json locks them, and again only when the lock changes; puppeteer-core drives
# Debian's /usr/bin/chromium and never downloads a browser.
set -euo pipefail
cd "$(dirname "$0")/.."
web=tests/web
if [ ! -f $web/node_modules/.package-lock.json ] || [ $web/package-lock.json -nt $web/node_modules/.package-lock.json ]; then
    (cd $web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
if [ "${1:-}" = "--figures" ]; then
    node $web/figures.mjs "${2:-build-web}"
    exit
fi
node --test --test-reporter=spec $web/harness/*.test.mjs
node $web/run.mjs "${1:-build-web}"
