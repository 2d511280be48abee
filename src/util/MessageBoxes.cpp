#include "util/MessageBoxes.h"

#include <atomic>

namespace dividra {
namespace {

std::atomic<MessageBoxProvider*> g_provider{nullptr};

int showBox(std::string_view text, unsigned flags) {
    MessageBoxProvider* provider = g_provider.load();
    return provider != nullptr ? provider->show(text, MessageCaption, flags) : 0;
}

} // namespace

MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* provider) {
    return g_provider.exchange(provider);
}

MessageBoxProvider* CurrentMessageBoxProvider() {
    return g_provider.load();
}

ScopedMessageBoxProvider::ScopedMessageBoxProvider(MessageBoxProvider& provider)
    : m_previous(SetMessageBoxProvider(&provider)) {}

ScopedMessageBoxProvider::~ScopedMessageBoxProvider() {
    SetMessageBoxProvider(m_previous);
}

int ShowInfoMessage(std::string_view text) {
    return showBox(text, MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK);
}

int AskOkCancel(std::string_view text) {
    return showBox(text, MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OKCANCEL);
}

int ShowErrorMessage(std::string_view text) {
    return showBox(text, MB_SETFOREGROUND | MB_ICONSTOP | MB_OK);
}

int AskYesNo(std::string_view text) {
    return showBox(text, MB_SETFOREGROUND | MB_ICONQUESTION | MB_YESNO);
}

} // namespace dividra
