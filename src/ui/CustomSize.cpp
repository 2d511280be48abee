#include "ui/CustomSize.h"

#include "core/split/SegmentPlan.h"
#include "settings/SegmentSizeSetting.h"
#include "util/NumberText.h"

#include <QLineEdit>

namespace dividra::ui {

QString customSegmentEntry() {
    return QString::fromLatin1(kCustomSegmentEntry.data(),
                               static_cast<qsizetype>(kCustomSegmentEntry.size()));
}

void keepCustomSizeInRange(QLineEdit* field) {
    const std::int32_t size = TextToInt(field->text().toStdString());
    // A size in range keeps its text as typed ("064", say).
    if (const std::int32_t kept = CustomKilobytesInRange(size); kept != size) {
        field->setText(QString::number(kept));
    }
}

} // namespace dividra::ui
