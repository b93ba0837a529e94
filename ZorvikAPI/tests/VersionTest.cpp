#include "ZorvikAPI/ZorvikAPI.h"

#include <gtest/gtest.h>
#include <string>

TEST(ZorvikAPIVersion, NumberAndStringAgree)
{
    EXPECT_EQ(ZorvikAPIVersionNumber, 1.0);
    std::string text(reinterpret_cast<const char*>(ZorvikAPIVersionString));
    EXPECT_NE(text.find("ZorvikAPI-1"), std::string::npos);
}
