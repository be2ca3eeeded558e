#include "store/capturedfiles.h"
#include "text/files.h"
#include "text/lines.h"
#include "text/numbers.h"
#include "text/sjis.h"

#include <cerrno>
#include <new>

namespace kirano {

namespace {

const QByteArray &noData() {
    static const QByteArray text = text::bytesOf(u"データ無し");
    return text;
}

// Twenty rows numbered 1 to 20 in `digits` places with leading zeros.
QList<QByteArray> placeholders(int digits, const QByteArray &middle) {
    QList<QByteArray> rows;
    for (int n = 1; n <= 20; ++n)
        rows.append(QByteArray::number(n).rightJustified(digits, '0') + middle + noData());
    return rows;
}

} // namespace

QByteArray datePlaceholder() {
    static const QByteArray text = text::bytesOf(u"データ取得日--------------");
    return text;
}

QByteArray placeholderPanel(int indent) {
    return QByteArray(indent, ' ') + datePlaceholder();
}

CapturedRows splitDateLine(QList<QByteArray> lines, int indent) {
    if (lines.isEmpty() || !text::isDateLine(lines.last()))
        return {std::move(lines), placeholderPanel(indent)};
    QByteArray panel = QByteArray(indent, ' ') + lines.takeLast();
    return {std::move(lines), std::move(panel)};
}

text::Result<CapturedRows> readCapturedRows(const QString &path, int indent) {
    text::Result<QByteArray> content = text::readFile(path);
    if (!content)
        return content.error();
    try {
        return splitDateLine(text::splitLines(*content), indent);
    } catch (const std::bad_alloc &) {
        return text::IoError(ENOMEM); // more lines than memory
    }
}

CapturedRows loadCapturedRows(const QString &path, int indent) {
    return readCapturedRows(path, indent).value_or(CapturedRows{{}, placeholderPanel(indent)});
}

QList<QByteArray> placeholderRooms() {
    return placeholders(2, "       0 (   0)   00/00   ");
}

QList<QByteArray> placeholderLibraries() {
    return placeholders(4, "     0  (   0)  00/00   ");
}

QByteArray dateLine(const QDateTime &when) {
    return text::bytesOf(u"データ取得日 ") +
           when.toString(QStringLiteral("yy/MM/dd HH:mm")).toLatin1();
}

} // namespace kirano
