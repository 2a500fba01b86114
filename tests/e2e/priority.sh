#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Pause lowers the process priority to idle; a second Pause asks for normal
# again, which an unprivileged process may not do. The program must then say
# so on standard error and keep running. Run by root, the probe runs as user
# "nobody" (root may raise the priority again); otherwise as the user.
#   priority.sh PROBE
. "$(dirname "$0")/harness.sh"
e2e_require_tools setpriv
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id nobody >/dev/null 2>&1 || e2e_fail "there is no user nobody to run the probe as"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
e2e_start_x 800x600
chmod 755 "$E2E_TMP"
mkdir -p -m 777 "$E2E_TMP/run"
install -m 755 "$1" "$E2E_TMP/probe"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime-nobody"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
[ ${#as_user[@]} -eq 0 ] || chown nobody "$XDG_RUNTIME_DIR"
e2e_launch "$E2E_TMP/run" "${as_user[@]}" "$E2E_TMP/probe"
e2e_wait_line '^ready'
e2e_wait_window
e2e_wait_painted
e2e_focus
e2e_key Pause
e2e_wait_line '^priority idle ok$'
e2e_key Pause
e2e_wait_line '^priority normal refused$'
grep -q 'refused to set the process priority' "$E2E_TMP/program.err" || e2e_fail "nothing said on standard error"
e2e_key a
e2e_wait_line '^keypress 97$'
e2e_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo PASS
