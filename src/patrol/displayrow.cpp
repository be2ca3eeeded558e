#include "patrol/displayrow.h"
#include "patrol/commands.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <QStringList>

namespace kirano {

namespace {

// The vocabulary's display texts as bytes, encoded once.
using Texts = std::array<std::array<QByteArray, 3>, kCommandCount>;

const Texts &encodedTexts() {
    static const Texts texts = [] {
        Texts t;
        for (const CommandInfo &info : vocabulary::kCommands) {
            for (int column = 0; column < 3; ++column)
                t[static_cast<int>(info.command)][column] =
                    text::bytesOf(QStringView(info.display[column].text));
        }
        return t;
    }();
    return texts;
}

bool numberFits(const PatrolEntry &e, const DisplayColumn &column) {
    return column.kind != DisplayColumn::Numbered ||
           text::strictInteger(e.field(column.field)).has_value();
}

} // namespace

bool hasDisplayRow(const PatrolEntry &entry) {
    const std::optional<Command> command = commandOf(entry.command);
    if (!command)
        return true;
    for (const DisplayColumn &column : commandInfo(*command).display) {
        if (!numberFits(entry, column))
            return false;
    }
    return true;
}

std::optional<DisplayRow> displayRowOf(const PatrolEntry &e) {
    const std::optional<Command> command = commandOf(e.command);
    if (!command)
        return DisplayRow{e.command, e.param1, e.param2};
    const CommandInfo &info = commandInfo(*command);
    const std::array<QByteArray, 3> &texts = encodedTexts()[static_cast<int>(*command)];
    std::array<QByteArray, 3> columns;
    for (int i = 0; i < 3; ++i) {
        const DisplayColumn &c = info.display[i];
        switch (c.kind) {
        case DisplayColumn::Empty:
            break;
        case DisplayColumn::Text:
            columns[i] = texts[i];
            break;
        case DisplayColumn::Field:
            columns[i] = e.field(c.field) + texts[i];
            break;
        case DisplayColumn::FileName:
            columns[i] = text::fileNamePart(e.field(c.field));
            break;
        case DisplayColumn::Numbered: {
            const std::optional<qint32> n = text::strictInteger(e.field(c.field));
            if (!n)
                return std::nullopt;
            columns[i] = text::fill2d(*n) + texts[i];
            break;
        }
        case DisplayColumn::Joined:
            columns[i] = e.field(c.field) + c.separator + e.field(c.second) + texts[i];
            break;
        }
    }
    return DisplayRow{columns[0], columns[1], columns[2]};
}

QString entryLabel(int position, const PatrolEntry &entry) {
    // A row the display rules refuse is named by its raw fields.
    const std::optional<DisplayRow> row = displayRowOf(entry);
    const QByteArrayList columns = row ? QByteArrayList{row->column1, row->column2, row->column3}
                                       : QByteArrayList{entry.command, entry.param1, entry.param2};
    QStringList shown;
    for (const QByteArray &column : columns) {
        if (!column.isEmpty())
            shown.append(text::decode(column));
    }
    return QStringLiteral(u"%1番目 [%2]").arg(position).arg(shown.join(QStringLiteral("  ")));
}

} // namespace kirano
