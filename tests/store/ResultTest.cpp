#include "store/Result.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

Result<std::unique_ptr<int>> make(bool ok)
{
    if (!ok)
        return Failure{"no room"};
    return std::make_unique<int>(7);
}

TEST(Result, AValueMovesOutAndAFailureKeepsItsReasonEvenWhenTheValueIsAskedFor)
{
    Result<std::unique_ptr<int>> good = make(true);
    ASSERT_TRUE(good);
    EXPECT_EQ(good.reason(), "");
    std::unique_ptr<int> taken = std::move(good).value(); // move-only values are handed over
    EXPECT_EQ(*taken, 7);

    const Result<std::unique_ptr<int>> bad = make(false);
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.reason(), "no room");
    try {
        (void)bad.value();
        FAIL() << "a failure gave a value";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("no room"), std::string::npos) << e.what();
    }
}

TEST(Result, VoidSucceedsByDefaultAndFailsEvenWithoutWords)
{
    const Result<void> done;
    EXPECT_TRUE(done.ok());
    EXPECT_NO_THROW(done.value());

    const Result<void> failed = Failure{};
    EXPECT_FALSE(failed);
    EXPECT_THROW(failed.value(), std::logic_error);
    EXPECT_EQ(Result<void>(Failure{"disk full"}).reason(), "disk full");
}

} // namespace
