#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# exit_status.sh STATUS PROGRAM [ARGS...]: passes when PROGRAM ends with STATUS.
want=$1
shift
"$@"
got=$?
[ "$got" -eq "$want" ] || { echo "exit status $got, expected $want" >&2; exit 1; }
