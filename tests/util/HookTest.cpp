#include "platform/Hook.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

TEST(HookTest, SetReturnsThePreviousEmptyBringsTheFallbackBackAndCallsMaySwap) {
    Hook<int(int)> withFallback([](int n) { return -n; });
    Hook<int(int)> bare;
    for (Hook<int(int)>* hook : {&withFallback, &bare}) {
        EXPECT_FALSE(hook->set([hook](int n) {
            hook->set([](int m) { return m * 100; }); // from inside a call: no deadlock
            return n * 10;
        }));
        EXPECT_EQ((*hook)(2), 20);
        EXPECT_EQ((*hook)(2), 200);
        const auto previous = hook->set({});
        ASSERT_TRUE(previous);
        EXPECT_EQ(previous(3), 300);
    }
    EXPECT_EQ(withFallback(2), -2);
    EXPECT_EQ(bare(2), 0);
}

} // namespace
} // namespace dividra
