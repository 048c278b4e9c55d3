#!/usr/bin/env bash
# Tamsel's developer entry point, for a fresh Debian 12 machine.
#   ./dev.sh demo      install what is missing, build, and open tamsel-demo
#   ./dev.sh test      install what is missing, build, and run every test
#   ./dev.sh package   install what is missing, build, and make the Debian packages in out/
#                      (./dev.sh package windows: the Windows zip, out/tamsel-win64.zip)
set -euo pipefail
cd "$(dirname "$0")"
exec scripts/dev-main.sh "$@"
