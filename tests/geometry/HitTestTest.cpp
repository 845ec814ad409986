#include "geometry/HitTest.h"
