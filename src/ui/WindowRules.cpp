#include "ui/WindowRules.h"

#include "util/NumberText.h"

#include <string>

namespace dividra::ui {
namespace {

QString scaledText(std::int64_t bytes, const char* smallUnit, const char* largeUnit) {
    double value = static_cast<double>(bytes) / 1024.0;
    const char* unit = smallUnit;
    if (value > 1024.0) {
        value /= 1024.0;
        unit = largeUnit;
    }
    return QString::asprintf("%3.2f", value) + QString::fromLatin1(unit);
}

} // namespace

bool FlatToolBarFromVersion(std::string_view versionText) {
    const auto dot = versionText.find('.');
    if (versionText.empty() || dot == std::string_view::npos) {
        return false;
    }
    const std::int32_t major = TextToInt(versionText.substr(0, dot));
    std::string_view rest = versionText.substr(dot + 1);
    const std::int32_t minor = TextToInt(rest.substr(0, rest.find('.')));
    return major > 4 || (major == 4 && minor >= 70);
}

QString FileSizeText(std::int64_t bytes) {
    return scaledText(bytes, " KB", " MB");
}

QString FreeSpaceText(std::int64_t freeBytes) {
    return scaledText(freeBytes, " kb", " MB");
}

} // namespace dividra::ui
