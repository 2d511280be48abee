#include "core/SplitHost.h"

#include "util/MessageBoxes.h"

namespace dividra::core {

int SplitHost::showInfoMessage(std::string_view text) {
    return ShowInfoMessage(text);
}
int SplitHost::askOkCancel(std::string_view text) {
    return AskOkCancel(text);
}
int SplitHost::showErrorMessage(std::string_view text) {
    return ShowErrorMessage(text);
}
int SplitHost::askYesNo(std::string_view text) {
    return AskYesNo(text);
}

} // namespace dividra::core
