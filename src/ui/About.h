#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace dividra::toolkit {
class RaisedLabel;
}

namespace dividra::ui {

class TUrlLabel;

// The About box: product and version, the maker's notice and the ways to reach the maker.
// Borderless, 332 x 221, centred on the screen; OK and Escape close it with the OK result.
class TFrmAbout : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 332;
    static constexpr int kClientHeight = 221;

    explicit TFrmAbout(QWidget* parent = nullptr);

    // Escape and the close request end the box as OK does.
    void reject() override;

    QFrame* PnlBack = nullptr;
    QLabel* ImageIcon1 = nullptr;
    toolkit::RaisedLabel* LblProductVersion = nullptr;
    QLabel* LblNotice = nullptr;
    QFrame* BevelUpper = nullptr;
    QLabel* LblMail1 = nullptr;
    QLabel* LblMail2 = nullptr;
    TUrlLabel* UrlMail = nullptr;
    QLabel* LblMail3 = nullptr;
    QLabel* LblCSMail = nullptr;
    QLabel* LblMail4 = nullptr;
    TUrlLabel* URLWeb = nullptr;
    QFrame* BevelLower = nullptr;
    QPushButton* BtnOk = nullptr;

private:
    void createHeading();
    void createAddresses();
    QLabel* label(const char* name, const QString& text, int left, int top);
    TUrlLabel* link(const char* name, const QString& caption, const QString& url, int top);
    QFrame* rule(const char* name, int top);
};

} // namespace dividra::ui
