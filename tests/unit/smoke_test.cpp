#include "agent/viewer_interfaces.h"

#include <gtest/gtest.h>

TEST(Smoke, GuidsCompare) { EXPECT_TRUE(IsEqualGUID(IID_IAgentHelper, IID_IAgentHelper)); }
