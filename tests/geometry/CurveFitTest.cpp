#include "geometry/CurveFit.h"
