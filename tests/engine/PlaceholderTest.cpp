#include "engine/SECEditLangSettings.h"

#include <gtest/gtest.h>

TEST(Foundation, HeadersCompile)
{
    SUCCEED();
}
