#pragma once

#include "util/KeyFilter.h"
#include "util/MessageBoxes.h"

#include <memory>
#include <string_view>

class QMessageBox;
class QWidget;

namespace dividra::toolkit {

// The window's message boxes: a modal QMessageBox over the active window.
class QtMessageBoxes : public MessageBoxProvider {
public:
    // Runs createBox's box modally; 0 when there is no application to show it in.
    int show(std::string_view text, std::string_view caption, unsigned flags) override;

    // The box show() runs, built but not shown: title `caption`, plain text `text` (UTF-8, "\n"
    // breaks lines), the icon and text-only buttons of `flags` (an unknown set gives OK alone),
    // the first button the default, Cancel (OK when alone) for Escape and the close box. A Yes/No
    // question has no close box and ignores Escape: only a button answers it.
    static std::unique_ptr<QMessageBox> createBox(std::string_view text, std::string_view caption,
                                                  unsigned flags, QWidget* parent = nullptr);

    // IDOK, IDCANCEL, IDYES or IDNO for the button the box was closed with; 0 for none.
    static int resultOf(const QMessageBox& box);
};

// Installs QtMessageBoxes as the message box provider and QApplication::beep as the beep hook
// for its lifetime, then puts the previous provider and hook back. The application owns one.
class QtMessageBoxesInstaller {
public:
    QtMessageBoxesInstaller();
    ~QtMessageBoxesInstaller();
    QtMessageBoxesInstaller(const QtMessageBoxesInstaller&) = delete;
    QtMessageBoxesInstaller& operator=(const QtMessageBoxesInstaller&) = delete;

private:
    QtMessageBoxes m_boxes;
    MessageBoxProvider* m_previousProvider;
    BeepHook m_previousBeep;
};

} // namespace dividra::toolkit
