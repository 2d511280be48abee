#include "util/Hook.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

TEST(HookTest, SetReturnsThePreviousAndEmptyBringsTheFallbackBack) {
    Hook<int(int)> withFallback([](int n) { return -n; });
    Hook<int(int)> bare;
    EXPECT_EQ(withFallback(2), -2);
    EXPECT_EQ(bare(2), 0);
    for (Hook<int(int)>* hook : {&withFallback, &bare}) {
        EXPECT_FALSE(hook->set([](int n) { return n * 10; }));
        EXPECT_EQ((*hook)(2), 20);
        const auto previous = hook->set({});
        ASSERT_TRUE(previous);
        EXPECT_EQ(previous(3), 30);
    }
    EXPECT_EQ(withFallback(2), -2);
    EXPECT_EQ(bare(2), 0);
}

TEST(HookTest, AFunctionMayInstallAnotherWhileItRuns) {
    Hook<void(int&)> hook;
    hook.set([&hook](int& calls) {
        ++calls;
        hook.set([](int& later) { later += 100; });
    });
    int calls = 0;
    hook(calls);
    hook(calls);
    EXPECT_EQ(calls, 101);
}

} // namespace
} // namespace dividra
