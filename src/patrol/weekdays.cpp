#include "patrol/weekdays.h"
#include "text/sjis.h"

namespace kirano {

QByteArray daysText(bool everyDay, const std::array<bool, 7> &sundayToSaturday) {
    static const QByteArray all = text::bytesOf(u"日月火水木金土");
    if (everyDay)
        return all;
    QByteArray days;
    const qsizetype width = all.size() / 7; // each day is one double-byte character
    for (int day = 0; day < 7; ++day) {
        if (sundayToSaturday[day])
            days += all.mid(day * width, width);
    }
    return days;
}

} // namespace kirano
