// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/ReleaseQueue.h"

namespace duvanto::test {
namespace {

bool IsOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// Whatever the number of helpers and the room in the queue, every descriptor handed over is
// closed once Drain returns, and once the queue ends without one.
TEST(ReleaseQueueTest, EveryDescriptorHandedOverIsClosedByDrainOrByTheEnd) {
    struct Shape {
        std::size_t threads, most;
        bool drain;
    };
    for (const Shape shape :
         {Shape{2, 64, true}, Shape{1, 1, true}, Shape{2, 64, false}, Shape{1, 1, false}}) {
        SCOPED_TRACE(testing::Message() << shape.threads << " helpers, " << shape.most
                                        << " waiting at most, drained " << shape.drain);
        std::vector<int> handed;
        {
            ReleaseQueue queue(shape.threads, shape.most);
            queue.Release(UniqueFd());  // nothing to close, and nothing waits for it
            for (int i = 0; i < 300; ++i) {
                const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
                ASSERT_GE(fd, 0);
                handed.push_back(fd);
                queue.Release(UniqueFd(fd));
                EXPECT_LE(queue.Pending(), shape.most);
            }
            if (shape.drain) {
                queue.Drain();
                EXPECT_EQ(queue.Pending(), 0u);
                for (const int fd : handed) {
                    EXPECT_FALSE(IsOpen(fd)) << fd;
                }
            }
        }
        for (const int fd : handed) {
            EXPECT_FALSE(IsOpen(fd)) << fd;
        }
    }
}

}  // namespace
}  // namespace duvanto::test
