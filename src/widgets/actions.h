#pragma once
// Actions, menus and panels carry the names the form gives them, so that tests and
// a user's tools find them by object name.
#include <QAction>
#include <QMenu>
#include <QWidget>

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

inline QWidget *makePanel(const char *name, QWidget *parent = nullptr) {
    auto *panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

} // namespace kirano
