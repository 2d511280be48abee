#pragma once

#include <string_view>

// The program's four message boxes, shown through a replaceable provider: the window installs
// Qt's boxes, the terminal front end its prompts, tests a scripted provider.
namespace dividra {

inline constexpr std::string_view MessageCaption = "Dividra";

// Results, numbered as the Windows box results the program's rules compare against.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Style flags: one button set, one icon, and the foreground request.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_BUTTONMASK = 0xF;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
inline constexpr unsigned MB_SETFOREGROUND = 0x10000;

class MessageBoxProvider {
public:
    virtual ~MessageBoxProvider() = default;
    // Shows a modal box and returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO), or 0 when
    // no box could be shown. Texts break lines with single "\n".
    virtual int show(std::string_view text, std::string_view caption, unsigned flags) = 0;
};

// Installs the provider every box goes through (nullptr: none) and returns the previous one.
// The caller keeps ownership and keeps it alive while installed.
MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* provider);
MessageBoxProvider* CurrentMessageBoxProvider();

// Installs a provider for one scope and puts the previous one back afterwards.
class ScopedMessageBoxProvider {
public:
    explicit ScopedMessageBoxProvider(MessageBoxProvider& provider);
    ~ScopedMessageBoxProvider();
    ScopedMessageBoxProvider(const ScopedMessageBoxProvider&) = delete;
    ScopedMessageBoxProvider& operator=(const ScopedMessageBoxProvider&) = delete;

private:
    MessageBoxProvider* m_previous;
};

// Each shows `text` under MessageCaption and returns the provider's answer unchanged; 0 while no
// provider is installed.
int ShowInfoMessage(std::string_view text);  // MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK
int AskOkCancel(std::string_view text);      // MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OKCANCEL
int ShowErrorMessage(std::string_view text); // MB_SETFOREGROUND | MB_ICONSTOP | MB_OK
int AskYesNo(std::string_view text);         // MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO

} // namespace dividra
