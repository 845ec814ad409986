#include "model/Drawing.h"

#include <benchmark/benchmark.h>
