#pragma once

#include <QColor>
#include <QFrame>
#include <QPalette>

namespace dividra::toolkit {

// The light edge of a bevel on `backdrop`: the palette's Light where that stands out from the
// backdrop, else a grey between the backdrop and Mid, so the edge still shows and stays lighter
// than the dark one.
QColor BevelLight(const QPalette& palette, const QColor& backdrop);

// A raised or sunken one-pixel panel whose four edges stay visible whatever it sits on: on a
// near-white tab page the palette's white light edge would vanish and leave it open on two sides.
class BevelPanel : public QFrame {
    Q_OBJECT

public:
    explicit BevelPanel(QFrame::Shadow shadow, QWidget* parent = nullptr);

    // The colour the panel sits on: a tab page's pane or its parent's background.
    QColor backdrop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dividra::toolkit
