#include "DialogFixture.h"
#include "ui/About.h"
#include "ui/DesignFonts.h"
#include "ui/DirDlg.h"
#include "ui/Main.h"
#include "ui/Options.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <algorithm>
#include <optional>

namespace dividra::ui {
namespace {

struct Caption {
    CaptionKind kind;
    QString text;
};

std::optional<Caption> captionOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return Caption{CaptionKind::Label, label->text()};
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return Caption{CaptionKind::GroupBox, group->title()};
    }
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (button == nullptr || button->inherits("QToolButton")) {
        return std::nullopt;
    }
    const CaptionKind kind = button->inherits("QCheckBox")      ? CaptionKind::CheckBox
                             : button->inherits("QRadioButton") ? CaptionKind::RadioButton
                                                                : CaptionKind::PushButton;
    return Caption{kind, button->text()};
}

// A label sized to its text, as the design's auto-sized labels are, may reach up to the next
// control on its row or its parent's edge; every other control has its own width.
int roomOf(const QWidget* widget, CaptionKind kind) {
    const bool sizedToText = widget->width() == widget->sizeHint().width();
    if (kind != CaptionKind::Label || !sizedToText) {
        return widget->width();
    }
    const QWidget* parent = widget->parentWidget();
    int right = parent->contentsRect().right() + 1;
    const QRect box = widget->geometry();
    for (const QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect other = sibling->geometry();
        if (sibling != widget && !sibling->isHidden() && other.left() > box.left() &&
            other.top() <= box.bottom() && other.bottom() >= box.top()) {
            right = std::min(right, other.left());
        }
    }
    return right - box.left();
}

// A page gets its size when first shown: show each once, so its edge is where the user sees it.
void layOutEveryPage(QWidget& window) {
    for (QTabWidget* pages : window.findChildren<QTabWidget*>()) {
        const int current = pages->currentIndex();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
        }
        pages->setCurrentIndex(current);
    }
}

void expectCaptionsFit(QWidget& window) {
    layOutEveryPage(window);
    int checked = 0;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const std::optional<Caption> caption = captionOf(widget);
        if (!caption || caption->text.isEmpty()) {
            continue;
        }
        ++checked;
        const QFont font = widget->font();
        const int needed =
            CaptionWidth(caption->text, font) + CaptionMargins(caption->kind, font) + kCaptionSpare;
        const int room = roomOf(widget, caption->kind);
        EXPECT_LE(needed, room) << window.objectName().toStdString() << "."
                                << widget->objectName().toStdString() << " \""
                                << caption->text.toStdString() << "\" in "
                                << QFontInfo(font).family().toStdString() << " " << font.pixelSize()
                                << " px, stretch " << font.stretch() << ": short by "
                                << needed - room << " px";
    }
    EXPECT_GT(checked, 0) << window.objectName().toStdString();
}

class CaptionFitTest : public test::DialogFixture {};

// The design font when it fits; narrowed before made smaller; the closest when nothing fits.
TEST_F(CaptionFitTest, TheFittingFontIsTheMostDesignLikeInWhichEveryCaptionFits) {
    const QFont design = SansSerifFont(11);
    const char* text = "Segment Size (kb):";
    const int exact = CaptionWidth(QString::fromLatin1(text), design) + kCaptionSpare;
    struct Case {
        int boxWidth;
        bool fits;
        int pixels;
        bool narrowed;
    };
    for (const Case& c : {Case{exact, true, 11, false}, Case{exact - 3, true, 11, true},
                          Case{10, false, 10, true}}) {
        const DesignCaption caption{CaptionKind::Label, text, c.boxWidth};
        const QFont font = FittingFont(design, {&caption, 1});
        EXPECT_EQ(CaptionFits(caption, font), c.fits) << c.boxWidth;
        EXPECT_EQ(font.pixelSize(), c.pixels) << c.boxWidth;
        EXPECT_EQ(font.stretch() < 100 || QFontInfo(font).family() != QFontInfo(design).family(),
                  c.narrowed)
            << c.boxWidth;
    }
}

// Measured in the fonts the program installs: the design's families, not a fallback.
TEST_F(CaptionFitTest, EveryCaptionOfEveryWindowFitsItsBoxWithRoomToSpare) {
    const QStringList families = {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                                  QStringLiteral("Liberation Sans"),
                                  QStringLiteral("Liberation Sans Narrow")};
    for (const auto& [font, design] : {std::pair{WindowFont(), 11}, std::pair{TitleFont(), 16}}) {
        const QFontInfo resolved(font);
        EXPECT_TRUE(families.contains(resolved.family())) << resolved.family().toStdString();
        EXPECT_GE(resolved.pixelSize(), design - 1) << resolved.family().toStdString();
    }
    TFrmMain main(m_fs, {});
    main.show();
    TDlgOptions options(m_fs, QStringLiteral("/nonexistent/dividra.hlp"));
    options.show();
    TDlgSelDir folders(m_fs);
    folders.show();
    TFrmAbout about;
    about.show();
    QApplication::processEvents();
    for (QWidget* window : std::initializer_list<QWidget*>{&main, &options, &folders, &about}) {
        expectCaptionsFit(*window);
    }
}

} // namespace
} // namespace dividra::ui
