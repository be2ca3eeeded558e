#pragma once
// Actions and menus carry the names the form gives them, so that tests and
// a user's tools find them by object name.
#include <QAction>
#include <QMenu>

namespace kirano {

inline QAction *makeAction(QObject *owner, const char *name, const QString &text) {
    auto *action = new QAction(text, owner);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

inline QMenu *makeMenu(QWidget *owner, const char *name, const QString &title = QString()) {
    auto *menu = new QMenu(title, owner);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace kirano
