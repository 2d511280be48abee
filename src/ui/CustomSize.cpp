#include "ui/CustomSize.h"

#include "core/SegmentPlan.h"
#include "util/NumberText.h"

#include <QLineEdit>

namespace dividra::ui {

QString customSegmentEntry() {
    return QString::fromLatin1(core::kCustomSegmentEntry.data(),
                               static_cast<qsizetype>(core::kCustomSegmentEntry.size()));
}

void keepCustomSizeInRange(QLineEdit* field) {
    const std::int32_t size = TextToInt(field->text().toStdString());
    if (size < core::kMinCustomKilobytes) {
        field->setText(QString::number(core::kMinCustomKilobytes));
    } else if (size > core::kMaxCustomKilobytes) {
        field->setText(QString::number(core::kMaxCustomKilobytes));
    }
}

} // namespace dividra::ui
