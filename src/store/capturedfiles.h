#pragma once
// Captured files of the data folder as the views show them: rows or text,
// and the date line that goes to the date panel instead.

#include "text/result.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace kirano {

// "データ取得日--------------": shown after the blanks when a file has no
// date line.
QByteArray datePlaceholder();

// `indent` blanks and the placeholder: a panel without a date.
QByteArray placeholderPanel(int indent = 5);

// "データ取得日 YY/MM/DD HH:MM", the last line of every captured file.
QByteArray dateLine(const QDateTime &when);

// Lines of a captured file without its date line, and the panel text.
struct CapturedRows {
    QList<QByteArray> rows;
    QByteArray datePanel;
};

// Splits off the last line when it is a date line. `indent` is five for the
// main window's panels, four for the chooser.
CapturedRows splitDateLine(QList<QByteArray> lines, int indent);

// The whole file as rows; an unreadable or empty file gives no rows and the
// placeholder.
CapturedRows loadCapturedRows(const QString &path, int indent = 5);
// The same, or why the file cannot be read (one too large to hold is
// refused before a byte is read).
text::Result<CapturedRows> readCapturedRows(const QString &path, int indent = 5);

// The 20 rows shown for a forum without its room or library list.
QList<QByteArray> placeholderRooms();
QList<QByteArray> placeholderLibraries();

} // namespace kirano
