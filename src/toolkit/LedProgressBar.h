#pragma once

#include <QWidget>

namespace dividra::toolkit {

// A progress bar of LED segments on the button face, without text: the status bar's
// StatProgress. Parts complete never exceed the part count.
class LedProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit LedProgressBar(QWidget* parent = nullptr);

    int partCount() const { return m_partCount; }
    void setPartCount(int parts);
    int partsComplete() const { return m_partsComplete; }
    // Capped to 0 .. partCount; repaints when it changes.
    void setPartsComplete(int parts);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_partCount = 20;
    int m_partsComplete = 0;
};

} // namespace dividra::toolkit
