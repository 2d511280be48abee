#include "util/MessageBoxes.h"

#include "support/ScriptedMessageBoxes.h"

#include <gtest/gtest.h>

namespace dividra {
namespace {

using test::ScopedScriptedMessageBoxes;
using test::ScriptedMessageBoxes;
using test::ShownBox;

TEST(MessageBoxesTest, WithoutAProviderEveryBoxGivesZero) {
    MessageBoxProvider* previous = SetMessageBoxProvider(nullptr);
    EXPECT_EQ(ShowInfoMessage("a"), 0);
    EXPECT_EQ(AskOkCancel("a"), 0);
    EXPECT_EQ(ShowErrorMessage("a"), 0);
    EXPECT_EQ(AskYesNo("a"), 0);
    SetMessageBoxProvider(previous);
}

TEST(MessageBoxesTest, PassTextCaptionAndFlagsAndReturnTheAnswerUnchanged) {
    ScopedScriptedMessageBoxes boxes;
    boxes.answer({IDCANCEL, IDNO, 42, 0});
    EXPECT_EQ(ShowInfoMessage("Insert diskette 2.\nThen press OK."), IDCANCEL);
    EXPECT_EQ(AskOkCancel("c:\\ is not accessible."), IDNO);
    EXPECT_EQ(ShowErrorMessage(" spaced \n\n"), 42);
    EXPECT_EQ(AskYesNo(""), 0);
    ASSERT_EQ(boxes.boxes().size(), 4U);
    const auto expect = [&](std::size_t i, const char* text, unsigned flags) {
        SCOPED_TRACE(i);
        EXPECT_EQ(boxes.boxes()[i].text, text);
        EXPECT_EQ(boxes.boxes()[i].caption, "Dividra");
        EXPECT_EQ(boxes.boxes()[i].flags, flags);
    };
    expect(0, "Insert diskette 2.\nThen press OK.", 0x10040);
    expect(1, "c:\\ is not accessible.", 0x10041);
    expect(2, " spaced \n\n", 0x10010);
    expect(3, "", 0x10024);
    EXPECT_EQ(boxes.pendingAnswers(), 0U);
}

TEST(MessageBoxesTest, ScriptedBoxesAnswerTheFirstButtonWhenTheScriptRunsOut) {
    ScopedScriptedMessageBoxes boxes;
    boxes.answer(IDNO);
    EXPECT_EQ(AskYesNo("q"), IDNO);
    EXPECT_EQ(AskYesNo("q"), IDYES);
    EXPECT_EQ(AskOkCancel("q"), IDOK);
    EXPECT_EQ(ShowInfoMessage("q"), IDOK);
    EXPECT_EQ(ShowErrorMessage("q"), IDOK);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>(5, "q"));
}

TEST(MessageBoxesTest, TheCallbackRunsWhileTheBoxIsShown) {
    ScopedScriptedMessageBoxes boxes;
    boxes.answer({IDOK, IDCANCEL});
    std::vector<std::string> seen;
    boxes.onShow([&](const ShownBox& box, std::size_t index) {
        // Recorded already, not yet answered.
        seen.push_back(std::to_string(index) + ":" + box.text + ":" +
                       std::to_string(boxes.pendingAnswers()));
        if (index == 0) {
            EXPECT_EQ(ShowErrorMessage("nested"), IDOK);
        }
    });
    EXPECT_EQ(AskOkCancel("swap"), IDCANCEL);
    EXPECT_EQ(seen, (std::vector<std::string>{"0:swap:2", "1:nested:2"}));
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"swap", "nested"}));
}

TEST(MessageBoxesTest, ScopesRestoreTheProviderBefore) {
    ScriptedMessageBoxes outer;
    ScriptedMessageBoxes inner;
    MessageBoxProvider* previous = SetMessageBoxProvider(&outer);
    {
        ScopedMessageBoxProvider scope(inner);
        EXPECT_EQ(CurrentMessageBoxProvider(), &inner);
        ShowInfoMessage("inner");
    }
    EXPECT_EQ(CurrentMessageBoxProvider(), &outer);
    ShowInfoMessage("outer");
    EXPECT_EQ(SetMessageBoxProvider(previous), &outer);
    EXPECT_EQ(inner.texts(), std::vector<std::string>{"inner"});
    EXPECT_EQ(outer.texts(), std::vector<std::string>{"outer"});
}

} // namespace
} // namespace dividra
