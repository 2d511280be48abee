#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace dividra::toolkit {

// A one-line edit with a small "..." button at its right end; the edit fills the rest of the
// widget and both are as tall as the widget. Focus given to the widget goes to the edit; the
// button takes no focus, so clicking it leaves the caret in the edit.
class ButtonEdit : public QWidget {
    Q_OBJECT

public:
    static constexpr int ButtonWidth = 21;

    explicit ButtonEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // Names the whole and its edit `name`, and the button as the one that browses for it.
    void setAccessibleNames(const QString& name);
    QLineEdit* edit() const { return m_edit; }
    QToolButton* button() const { return m_button; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void buttonClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChildren();

    QLineEdit* m_edit;
    QToolButton* m_button;
};

} // namespace dividra::toolkit
