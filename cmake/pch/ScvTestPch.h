// The product's common headers and GoogleTest, compiled once for all test executables.
#pragma once

#include "ScvPch.h"

#include <gtest/gtest.h>
