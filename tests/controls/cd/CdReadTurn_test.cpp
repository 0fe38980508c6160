// Rips of one drive read one after the other, in the order they were made.
#include "controls/cd/CdReadTurn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace {

const std::atomic<bool> kGoOn{false};
const std::atomic<bool> kAborted{true};

TEST(CdReadTurn, TurnsOfADriveComeInTheOrderTheyWereTaken)
{
    auto first = std::make_unique<cd::CdReadTurn>("/dev/sr7");
    cd::CdReadTurn second("/dev/sr7");
    cd::CdReadTurn third("/dev/sr7");
    cd::CdReadTurn otherDrive("/dev/sr8");

    // A wait that has to wait gives way to the abort; one in turn does not.
    EXPECT_FALSE(second.wait(kAborted));
    EXPECT_FALSE(third.wait(kAborted));
    EXPECT_TRUE(otherDrive.wait(kAborted));
    EXPECT_TRUE(first->wait(kAborted));

    // A turn given up by its rip going (a rip run ahead and dropped) passes on.
    first.reset();
    EXPECT_FALSE(third.wait(kAborted));
    EXPECT_TRUE(second.wait(kGoOn));
    second.leave();
    EXPECT_TRUE(third.wait(kGoOn));

    // One taken later queues behind the one reading.
    cd::CdReadTurn fourth("/dev/sr7");
    EXPECT_FALSE(fourth.wait(kAborted));
    third.leave();
    EXPECT_TRUE(fourth.wait(kGoOn));
}

} // namespace
