#include "patrol/weekdays.h"
#include "text/sjis.h"

#include <QDate>

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

QByteArray weekdayCharacter(int day) {
    std::array<bool, 7> one{};
    one[day] = true;
    return daysText(false, one);
}

QString weekdayName(int day) {
    return text::decode(weekdayCharacter(day)) + QStringLiteral(u"曜日");
}

int weekdayOf(const QDate &date) {
    return date.dayOfWeek() % 7; // Qt counts Monday 1 to Sunday 7
}

std::optional<std::array<bool, 7>> parseDays(const QByteArray &days) {
    // Whole characters only, matched in weekday order: a byte of another
    // character can never pass for a day.
    static const std::array<QByteArray, 7> characters = [] {
        std::array<QByteArray, 7> all;
        for (int day = 0; day < 7; ++day)
            all[day] = weekdayCharacter(day);
        return all;
    }();
    std::array<bool, 7> chosen{};
    qsizetype at = 0;
    for (int day = 0; day < 7; ++day) {
        const QByteArray &c = characters[day];
        if (QByteArrayView(days).sliced(at).startsWith(c)) {
            chosen[day] = true;
            at += c.size();
        }
    }
    if (at == 0 || at != days.size())
        return std::nullopt;
    return chosen;
}

bool runsOn(const QByteArray &days, int day) {
    const std::optional<std::array<bool, 7>> chosen = parseDays(days);
    return chosen && day >= 0 && day < 7 && (*chosen)[day];
}

std::optional<QString> daysProblem(const QByteArray &days) {
    if (days.isEmpty())
        return QStringLiteral(u"曜日がありません");
    if (!parseDays(days))
        return QStringLiteral(u"曜日「%1」が正しくありません").arg(text::decode(days));
    return std::nullopt;
}

} // namespace kirano
