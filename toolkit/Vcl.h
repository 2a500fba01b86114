// Everything the program sees of the toolkit.
#pragma once

#include "toolkit/BmpCodec.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Platform.h"
#include "toolkit/Types.h"
