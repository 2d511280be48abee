#include "ui/About.h"

#include "toolkit/RaisedLabel.h"
#include "ui/DesignFonts.h"
#include "ui/Pictures.h"
#include "ui/UrlLabel.h"
#include "util/Version.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <qdrawutil.h>

namespace dividra::ui {
namespace {

// The maker and the ways to reach it: all under a reserved domain, no real person or site.
const QString kNotice = QStringLiteral("Copyright \u00A9 1998 Vorlan Software");
const QString kMail = QStringLiteral("dividra@vorlan.example");
const QString kServiceAccount = QStringLiteral("76543.210@vorlan.example");
const QString kWeb = QStringLiteral("www.vorlan.example");
const QString kHomePage = QStringLiteral("http://www.vorlan.example/");

constexpr int kTextLeft = 56;
constexpr int kValueLeft = 168;
constexpr int kRuleWidth = 261;

// The panel behind everything: a raised edge, a border of 4 and a grooved frame inside it.
class BackPanel : public QFrame {
public:
    explicit BackPanel(QWidget* parent) : QFrame(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect outer = rect();
        // Without a window frame the box needs an edge of its own to stand out of the desktop.
        qDrawWinPanel(&painter, outer, palette(), false);
        qDrawShadeRect(&painter, outer.adjusted(6, 6, -6, -6), palette(), true, 1);
    }
};

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, color);
    widget->setPalette(colours);
}

// A label at its design size, wider when the font in use needs it, never past the rules.
void PlaceFitting(QLabel* label, int left, int top, int width, int height) {
    const int fitting = std::max(width, label->sizeHint().width());
    label->setGeometry(left, top, std::min(fitting, kTextLeft + kRuleWidth - left), height);
}

} // namespace

TFrmAbout::TFrmAbout(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About Dividra"));
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    PnlBack = new BackPanel(this);
    PnlBack->setObjectName(QStringLiteral("PnlBack"));
    PnlBack->setGeometry(rect());
    createHeading();
    createAddresses();

    BtnOk = new QPushButton(QStringLiteral("OK"), PnlBack);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(242, 184, 75, 25);
    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);

    CentreOnScreen(*this);
}

void TFrmAbout::reject() {
    accept();
}

void TFrmAbout::createHeading() {
    ImageIcon1 = new QLabel(PnlBack);
    ImageIcon1->setObjectName(QStringLiteral("ImageIcon1"));
    ImageIcon1->setGeometry(16, 14, 32, 32);
    ImageIcon1->setPixmap(PicturePixmap(Picture::ProgramIcon, 32));

    LblProductVersion = new toolkit::RaisedLabel(
        QStringLiteral("Dividra ") +
            QString::fromUtf8(kProductVersion.data(),
                              static_cast<qsizetype>(kProductVersion.size())),
        PnlBack);
    LblProductVersion->setObjectName(QStringLiteral("LblProductVersion"));
    LblProductVersion->setFont(ArialFont(21, true));
    SetTextColor(LblProductVersion, QColor(128, 0, 0));
    PlaceFitting(LblProductVersion, kTextLeft, 16, 125, 24);

    LblNotice = new QLabel(kNotice, PnlBack);
    LblNotice->setObjectName(QStringLiteral("LblNotice"));
    LblNotice->setFont(SansSerifFont(13));
    PlaceFitting(LblNotice, kTextLeft, 44, 233, 16);

    BevelUpper = rule("BevelUpper", 68);
}

void TFrmAbout::createAddresses() {
    LblMail1 = label("LblMail1", QStringLiteral("Please send comments and suggestions to:"),
                     kTextLeft, 74);
    LblMail2 = label("LblMail2", QStringLiteral("Internet E-Mail:"), kTextLeft, 94);
    UrlMail = link("UrlMail", kMail, QStringLiteral("mailto:") + kMail, 94);
    LblMail3 = label("LblMail3", QStringLiteral("Compuserve Mail:"), kTextLeft, 114);
    LblCSMail = label("LblCSMail", kServiceAccount, kValueLeft, 114);
    LblMail4 = label("LblMail4", QStringLiteral("World Wide Web:"), kTextLeft, 134);
    URLWeb = link("URLWeb", kWeb, kHomePage, 134);
    BevelLower = rule("BevelLower", 152);
}

QLabel* TFrmAbout::label(const char* name, const QString& text, int left, int top) {
    auto* created = new QLabel(text, PnlBack);
    created->setObjectName(QString::fromLatin1(name));
    created->move(left, top);
    created->adjustSize();
    return created;
}

TUrlLabel* TFrmAbout::link(const char* name, const QString& caption, const QString& url, int top) {
    auto* created = new TUrlLabel(PnlBack);
    created->setObjectName(QString::fromLatin1(name));
    QFont underlined = WindowFont();
    underlined.setUnderline(true);
    created->setFont(underlined);
    created->setText(caption);
    created->setURL(url);
    created->move(kValueLeft, top);
    created->adjustSize();
    return created;
}

QFrame* TFrmAbout::rule(const char* name, int top) {
    auto* line = new QFrame(PnlBack);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(kTextLeft, top, kRuleWidth, 2);
    return line;
}

} // namespace dividra::ui
