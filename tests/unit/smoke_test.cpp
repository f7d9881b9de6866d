#include "interfaces/viewer_interfaces.h"

#include <gtest/gtest.h>

TEST(Smoke, GuidsCompare) { EXPECT_TRUE(IsEqualGUID(iid_of<IAgentHelper>, iid_of<IAgentHelper>)); }
