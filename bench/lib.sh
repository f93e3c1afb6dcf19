# shellcheck shell=bash
# Shared by the benchmarks: a private X server, from :150 on.
# shellcheck source=../scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/xvfb.sh"
