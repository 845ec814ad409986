#include "geometry/Clipping.h"
