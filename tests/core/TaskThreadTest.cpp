#include "core/TaskThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace plx;

// Tasks run one after another in the order given, off the giver's thread;
// wait() sees everything they wrote, and the end of the thread runs what was
// still queued rather than dropping it.
TEST(TaskThread, RunsInOrderWaitSeesAllAndTheEndDropsNothing)
{
    std::vector<int> ran;
    std::thread::id where;
    {
        TaskThread thread;
        for (int round = 0; round < 50; ++round) {
            for (int i = 0; i < 20; ++i) {
                thread.post([&ran, &where, n = round * 20 + i] {
                    if (n % 7 == 0)
                        std::this_thread::sleep_for(std::chrono::microseconds(50));
                    ran.push_back(n);
                    where = std::this_thread::get_id();
                });
            }
            thread.wait();
            ASSERT_EQ(ran.size(), size_t(round * 20 + 20));
        }
        EXPECT_NE(where, std::this_thread::get_id());
        for (int i = 1000; i < 1100; ++i)
            thread.post([&ran, i] { ran.push_back(i); });
    }
    ASSERT_EQ(ran.size(), 1100u);
    for (int i = 0; i < 1100; ++i)
        ASSERT_EQ(ran[size_t(i)], i);
}
