#!/usr/bin/env bash
# Without the alias HLR10 start-up stops: only the "Application Error" box,
# naming the alias; Enter dismisses it and the exit code is 1.
source "$(dirname "$0")/lib.sh"
e2e_begin alias_missing
e2e_alias_missing
e2e_expect_start_error
e2e_pass
