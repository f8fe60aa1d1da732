#!/usr/bin/env bash
# With HLR10 pointing at a folder that does not exist start-up stops: only the
# "Application Error" box; Enter dismisses it and the exit code is 1.
source "$(dirname "$0")/lib.sh"
e2e_begin alias_bad_folder
e2e_alias_to_nowhere
e2e_expect_start_error
[ -e "$E2E_TMP/no-existe" ] && e2e_fail "el programa creó la carpeta de datos"
e2e_pass
