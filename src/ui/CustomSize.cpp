#include "ui/CustomSize.h"

#include "core/split/SegmentPlan.h"
#include "util/NumberText.h"

#include <QLineEdit>

namespace dividra::ui {

QString customSegmentEntry() {
    return QString::fromLatin1(core::kCustomSegmentEntry.data(),
                               static_cast<qsizetype>(core::kCustomSegmentEntry.size()));
}

void keepCustomSizeInRange(QLineEdit* field) {
    const std::int32_t size = TextToInt(field->text().toStdString());
    // A size in range keeps its text as typed ("064", say).
    if (const std::int32_t kept = core::CustomKilobytesInRange(size); kept != size) {
        field->setText(QString::number(kept));
    }
}

} // namespace dividra::ui
