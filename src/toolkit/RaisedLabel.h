#pragma once

#include <QLabel>

namespace dividra::toolkit {

// A label whose text stands out of the face: a light copy drawn one pixel up and left of it.
class RaisedLabel : public QLabel {
    Q_OBJECT

public:
    explicit RaisedLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace dividra::toolkit
