#include "platform/MemoryFile.h"

#include <gtest/gtest.h>
