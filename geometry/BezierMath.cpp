#include "geometry/BezierMath.h"
