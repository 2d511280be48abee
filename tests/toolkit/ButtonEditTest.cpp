#include "toolkit/ButtonEdit.h"

#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>

namespace dividra::toolkit {
namespace {

TEST(ButtonEditTest, EditAndButtonShareTheRectangle) {
    ButtonEdit widget;
    widget.resize(200, 21);
    widget.show(); // a hidden widget gets its resize event only when shown
    EXPECT_EQ(widget.edit()->geometry(), QRect(0, 0, 179, 21));
    EXPECT_EQ(widget.button()->geometry(), QRect(179, 0, 21, 21));
    EXPECT_EQ(widget.button()->text(), QStringLiteral("..."));

    widget.resize(300, 25);
    EXPECT_EQ(widget.edit()->geometry(), QRect(0, 0, 279, 25));
    EXPECT_EQ(widget.button()->geometry(), QRect(279, 0, 21, 25));

    // Narrower than the button: nothing sticks out of the widget.
    widget.resize(10, 21);
    EXPECT_EQ(widget.edit()->geometry(), QRect(0, 0, 0, 21));
    EXPECT_EQ(widget.button()->geometry(), QRect(0, 0, 10, 21));
}

TEST(ButtonEditTest, ButtonClickIsSignalledOnce) {
    ButtonEdit widget;
    int clicks = 0;
    QObject::connect(&widget, &ButtonEdit::buttonClicked, &widget, [&clicks] { ++clicks; });
    widget.button()->click();
    EXPECT_EQ(clicks, 1);
}

TEST(ButtonEditTest, FocusGoesToTheEdit) {
    ButtonEdit widget;
    EXPECT_EQ(widget.focusProxy(), widget.edit());
    EXPECT_EQ(widget.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(widget.button()->focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace dividra::toolkit
