// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InstanceLock.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/TestSupport.h"

namespace duvanto::test {
namespace {

TEST(InstanceLock, OneHolderPerProgramFolder) {
    TempDir home;
    TempDir other;
    Result<InstanceLock> first = InstanceLock::Acquire(home.Path());
    ASSERT_TRUE(first.ok()) << first.status().message();

    Result<InstanceLock> second = InstanceLock::Acquire(home.Path());
    EXPECT_FALSE(second.ok());
    EXPECT_EQ(second.status().code(), EWOULDBLOCK);
    EXPECT_TRUE(InstanceLock::Acquire(other.Path()).ok()) << "another folder, another lock";

    // Moving the lock keeps it held; releasing it lets the next one in.
    InstanceLock moved = std::move(first.value());
    EXPECT_FALSE(InstanceLock::Acquire(home.Path()).ok());
    moved.Release();
    EXPECT_TRUE(InstanceLock::Acquire(home.Path()).ok());
    EXPECT_EQ(InstanceLock::Acquire(home / "missing/").status().code(), ENOENT);
}

}  // namespace
}  // namespace duvanto::test
