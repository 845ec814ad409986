#include "geometry/BezierMath.h"

#include <benchmark/benchmark.h>
