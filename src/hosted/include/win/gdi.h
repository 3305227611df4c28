// Stands in for the gdi32 subset: nothing is drawn on the simulated machine,
// so only the types and calls that paint code names are here.
#pragma once

#include "types.h"
