#!/usr/bin/env bash
# exit_status.sh STATUS PROGRAM [ARGS...]: passes when PROGRAM ends with STATUS.
want=$1
shift
"$@"
got=$?
[ "$got" -eq "$want" ] || { echo "exit status $got, expected $want" >&2; exit 1; }
