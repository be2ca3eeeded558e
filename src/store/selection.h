#pragma once
// What is selected in the data browser, as the command builders read it: the
// browser hands it over when a menu item is chosen.

#include <QByteArray>
#include <QList>
#include <optional>

namespace kirano {

struct BrowserSelection {
    // The selected forum's code; nothing when no forum is selected.
    std::optional<QByteArray> forumCode{};
    // The selected rows of the conference-room and library lists.
    std::optional<QByteArray> roomRow{};
    std::optional<QByteArray> libraryRow{};
    // The notice rows selected, in list order.
    QList<QByteArray> selectedNotices{};
    // The selected row of the BBS categories, or -1.
    int bbsRow = -1;
    // The selected patio's ID and password.
    std::optional<QByteArray> patioId{};
    std::optional<QByteArray> patioPassword{};
};

} // namespace kirano
