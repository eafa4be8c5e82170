#pragma once
// The renderer API as the drivers use it (stand-in umbrella header).

#include "ai_allocate.h"
#include "ai_api.h"
#include "ai_color_managers.h"
#include "ai_drivers.h"
#include "ai_matrix.h"
#include "ai_msg.h"
#include "ai_nodes.h"
#include "ai_params.h"
#include "ai_plugins.h"
#include "ai_string.h"
#include "ai_types.h"
#include "ai_universe.h"
