#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

class QDate;

namespace kirano {

// The days text: the chosen weekdays' characters, always in the order
// 日月火水木金土. "毎日" gives all seven whatever the boxes say; no day
// chosen gives the empty text.
QByteArray daysText(bool everyDay, const std::array<bool, 7> &sundayToSaturday);

// Which of 日月火水木金土 (Sunday first) a days text holds; nothing when it
// is empty or anything but those characters, each at most once, in that
// order.
std::optional<std::array<bool, 7>> parseDays(const QByteArray &days);

// The character of a weekday, 0 = 日 (Sunday) to 6 = 土.
QByteArray weekdayCharacter(int day);
// The weekday's name as the window shows it: 日曜日 to 土曜日.
QString weekdayName(int day);
// 0 to 6, Sunday first, for a date.
int weekdayOf(const QDate &date);

// The night's rule: an entry runs on `day` (0 to 6) when its days text is
// sound and holds that day. An entry whose days text is not runs on no day.
bool runsOn(const QByteArray &days, int day);

// Why a days text is not sound, the same for the window's marks, check and
// run; nothing when it is.
std::optional<QString> daysProblem(const QByteArray &days);

} // namespace kirano
