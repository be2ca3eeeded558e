#include "browser/textpane.h"
#include "text/sjis.h"

#include <QPaintEvent>
#include <QPainter>

namespace kirano {

TextPane::TextPane(const QString &name, QWidget *parent) : QWidget(parent) {
    setObjectName(name);
}

void TextPane::setLines(QList<QByteArray> lines) {
    lines_ = std::move(lines);
    widestLine_ = 0;
    for (const QByteArray &line : lines_)
        widestLine_ = qMax(widestLine_, line.size());
    resize(sizeHint());
    update();
}

QString TextPane::text() const {
    QString shown;
    for (const QByteArray &line : lines_)
        shown += text::decode(line) + u'\n';
    return shown;
}

int TextPane::lineHeight() const {
    return fontMetrics().height();
}

QSize TextPane::sizeHint() const {
    const int halfWidth = fontMetrics().horizontalAdvance(u'0');
    return QSize(static_cast<int>(widestLine_) * halfWidth + 4,
                 static_cast<int>(lines_.size()) * lineHeight() + 4);
}

void TextPane::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const int height = lineHeight();
    const int first = qMax(0, (event->rect().top() - 2) / height);
    const int last =
        qMin(static_cast<int>(lines_.size()) - 1, (event->rect().bottom() - 2) / height);
    const int ascent = fontMetrics().ascent();
    for (int i = first; i <= last; ++i)
        painter.drawText(2, 2 + i * height + ascent, text::decode(lines_[i]));
}

} // namespace kirano
