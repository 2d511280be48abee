#include "core/split/SplitHost.h"

#include "util/MessageBoxes.h"

namespace dividra::core {

int SplitHost::showInfoMessage(std::string_view text) {
    const int answer = ShowInfoMessage(text);
    messageBoxClosed();
    return answer;
}
int SplitHost::askOkCancel(std::string_view text) {
    const int answer = AskOkCancel(text);
    messageBoxClosed();
    return answer;
}
int SplitHost::showErrorMessage(std::string_view text) {
    const int answer = ShowErrorMessage(text);
    messageBoxClosed();
    return answer;
}
int SplitHost::askYesNo(std::string_view text) {
    const int answer = AskYesNo(text);
    messageBoxClosed();
    return answer;
}

} // namespace dividra::core
