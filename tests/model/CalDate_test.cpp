#include "TestSupport.h"

#include "model/CalDate.h"

TEST(CalDateSmoke, Builds)
{
    EXPECT_TRUE(IsValidDate(Date(2010, 2, 31)));
}
