#include "store/Result.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

TEST(Result, MoveOnlyValueIsHandedOverAndAskingAFailureForItsValueThrowsWithTheReason)
{
    EXPECT_EQ(*Result<std::unique_ptr<int>>(std::make_unique<int>(7)).value(), 7);
    const Result<std::unique_ptr<int>> bad = Failure{"no room"};
    EXPECT_FALSE(bad);
    try {
        (void)bad.value();
        ADD_FAILURE() << "a failure gave a value";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("no room"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(Result<void>().ok());
    EXPECT_THROW(Result<void>(Failure{}).value(), std::logic_error);
}

} // namespace
