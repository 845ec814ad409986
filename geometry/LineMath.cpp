#include "geometry/LineMath.h"
