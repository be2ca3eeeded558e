#pragma once
#include <QByteArray>
#include <array>

namespace kirano {

// The days text: the chosen weekdays' characters, always in the order
// 日月火水木金土. "毎日" gives all seven whatever the boxes say; no day
// chosen gives the empty text.
QByteArray daysText(bool everyDay, const std::array<bool, 7> &sundayToSaturday);

} // namespace kirano
