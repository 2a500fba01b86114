#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# json_names.sh PARTCHECK PICTURE: velmia-partcheck --json over a copy of
# PICTURE whose name is not UTF-8 prints JSON that a strict reader takes,
# with U+FFFD in place of each such byte.
set -u
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
name=$'vlm_hb\xff\xfe.bmp'
cp "$2" "$dir/$name" || exit 1
"$1" --json "$dir/$name" >"$dir/out.json"
status=$?
[ "$status" -eq 0 ] || { echo "velmia-partcheck: exit status $status" >&2; exit 1; }
python3 -c '
import json, sys
with open(sys.argv[1], "rb") as f:
    reports = json.loads(f.read().decode("utf-8"))
want = sys.argv[2] + "/vlm_hb\ufffd\ufffd.bmp"
got = reports[0]["file"]
if got != want:
    sys.exit("file is %r, expected %r" % (got, want))
' "$dir/out.json" "$dir" || exit 1
echo "valid JSON naming $dir/vlm_hb\\ufffd\\ufffd.bmp"
