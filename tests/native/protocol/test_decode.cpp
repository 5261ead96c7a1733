#include "protocol/Common_Types.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(Decode, Placeholder) { EXPECT_STREQ(KindName(146), "Separator"); }
