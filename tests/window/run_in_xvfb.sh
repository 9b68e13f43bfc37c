#!/usr/bin/env bash
# Runs a command against a private Xvfb server and returns its exit status.
# Usage: run_in_xvfb.sh COMMAND [ARGUMENTS...]
set -u -o pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
start_xvfb
"$@"
