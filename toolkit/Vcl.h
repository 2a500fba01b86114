// SPDX-FileCopyrightText: 2026 Velmia developers
// SPDX-License-Identifier: MIT
// Everything the program sees of the toolkit.
#pragma once

#include "toolkit/BmpCodec.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Platform.h"
#include "toolkit/Types.h"
