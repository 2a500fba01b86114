#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Runs a GoogleTest binary of the Qt window on a private Xvfb display with
# Qt's xcb plug-in, so that the window tests also run against a real X server.
#   xcb.sh nowm|wm TEST_BINARY [GTEST_ARGS...]
. "$(dirname "$0")/harness.sh"
mode=$1
shift
e2e_require_tools
if [ "$mode" = wm ]; then
    e2e_start_x 1024x768 wm
else
    e2e_start_x 1024x768
fi
"$@"
