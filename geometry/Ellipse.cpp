#include "geometry/Ellipse.h"
