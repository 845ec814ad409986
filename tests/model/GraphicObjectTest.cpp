#include "model/GraphicObject.h"

#include <gtest/gtest.h>
