// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit-free pieces of the front end the renderer draws with: the
// catalogue <-> device pixel map and the segments' response. They will move
// below the front ends; this is the one place that names where they live.
#pragma once

#include "common/lcd/lcd_response.h"
#include "common/view/view_scale.h"
