#include "browser/textpane.h"
#include "text/lines.h"
#include "text/sjis.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kirano {

namespace {

constexpr int kMargin = 2;

// What assistive tools read of the pane: static text whose value is the text
// shown.
class TextPaneAccessible : public QAccessibleWidget {
  public:
    explicit TextPaneAccessible(TextPane *pane)
        : QAccessibleWidget(pane, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return static_cast<TextPane *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *accessibleTextPane(const QString &className, QObject *object) {
    if (className == QLatin1String("kirano::TextPane") && object && object->isWidgetType())
        return new TextPaneAccessible(static_cast<TextPane *>(object));
    return nullptr;
}

} // namespace

TextPane::TextPane(const QString &name, QWidget *parent) : QWidget(parent) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(accessibleTextPane);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
}

void TextPane::setLines(QList<QByteArray> lines) {
    lines_ = std::move(lines);
    widestLine_ = 0;
    for (const QByteArray &line : lines_) {
        const qsizetype width = line.size() <= text::kShownBytes && !line.contains('\t')
                                    ? line.size()
                                    : text::shownLine(line, text::kShownBytes).size();
        widestLine_ = qMax(widestLine_, width);
    }
    anchor_ = cursor_ = Spot{};
    resize(sizeHint());
    update();
}

QString TextPane::shown(int line) const {
    return text::decode(text::shownLine(lines_.at(line), text::kShownBytes));
}

QString TextPane::text() const {
    QString all;
    for (int i = 0; i < lines_.size(); ++i)
        all += shown(i) + u'\n';
    return all;
}

QString TextPane::selectedText() const {
    if (!hasSelection())
        return QString();
    const Spot from = qMin(anchor_, cursor_);
    const Spot to = qMax(anchor_, cursor_);
    QString picked;
    for (int i = from.line; i <= to.line; ++i) {
        const QString line = shown(i);
        const auto [start, end] = selectedColumns(i, line);
        if (i > from.line)
            picked += u'\n';
        picked += line.mid(start, end - start);
    }
    return picked;
}

void TextPane::copy() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

void TextPane::selectAll() {
    if (lines_.isEmpty())
        return;
    anchor_ = Spot{};
    const int last = static_cast<int>(lines_.size()) - 1;
    cursor_ = Spot{last, static_cast<int>(shown(last).size())};
    update();
}

int TextPane::lineHeight() const {
    return fontMetrics().height();
}

QSize TextPane::sizeHint() const {
    const int halfWidth = fontMetrics().horizontalAdvance(u'0');
    return QSize(static_cast<int>(widestLine_) * halfWidth + 2 * kMargin,
                 static_cast<int>(lines_.size()) * lineHeight() + 2 * kMargin);
}

std::pair<int, int> TextPane::selectedColumns(int line, const QString &shownText) const {
    const Spot from = qMin(anchor_, cursor_);
    const Spot to = qMax(anchor_, cursor_);
    if (!hasSelection() || line < from.line || line > to.line)
        return {0, 0};
    const int start = line == from.line ? from.column : 0;
    const int end = line == to.line ? to.column : static_cast<int>(shownText.size());
    return {qMin(start, static_cast<int>(shownText.size())),
            qMin(end, static_cast<int>(shownText.size()))};
}

TextPane::Spot TextPane::spotAt(QPoint point) const {
    if (lines_.isEmpty())
        return Spot{};
    const int line =
        qBound(0, (point.y() - kMargin) / lineHeight(), static_cast<int>(lines_.size()) - 1);
    const QString shownText = shown(line);
    const QFontMetrics metrics = fontMetrics();
    // The first column whose left half lies right of the point.
    int low = 0;
    int high = static_cast<int>(shownText.size());
    while (low < high) {
        const int middle = (low + high) / 2;
        const int left = metrics.horizontalAdvance(shownText.left(middle));
        const int right = metrics.horizontalAdvance(shownText.left(middle + 1));
        if (kMargin + (left + right) / 2 < point.x())
            low = middle + 1;
        else
            high = middle;
    }
    return Spot{line, low};
}

void TextPane::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    const int height = lineHeight();
    const int first = qMax(0, (event->rect().top() - kMargin) / height);
    const int last =
        qMin(static_cast<int>(lines_.size()) - 1, (event->rect().bottom() - kMargin) / height);
    const QFontMetrics metrics = fontMetrics();
    const int ascent = metrics.ascent();
    for (int i = first; i <= last; ++i) {
        const QString line = shown(i);
        const int top = kMargin + i * height;
        const auto [start, end] = selectedColumns(i, line);
        if (start < end) {
            const int x = kMargin + metrics.horizontalAdvance(line.left(start));
            const int width = metrics.horizontalAdvance(line.mid(start, end - start));
            painter.fillRect(x, top, width, height, palette().highlight());
        }
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(kMargin, top + ascent, line.left(start));
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(kMargin + metrics.horizontalAdvance(line.left(start)), top + ascent,
                         line.mid(start, end - start));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(kMargin + metrics.horizontalAdvance(line.left(end)), top + ascent,
                         line.mid(end));
    }
}

void TextPane::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    cursor_ = spotAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor_ = cursor_;
    update();
}

void TextPane::mouseMoveEvent(QMouseEvent *event) {
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    cursor_ = spotAt(event->position().toPoint());
    update();
}

void TextPane::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy))
        return copy();
    if (event->matches(QKeySequence::SelectAll))
        return selectAll();
    QWidget::keyPressEvent(event);
}

void TextPane::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("TextPaneMenu"));
    QAction *copyItem = menu.addAction(QStringLiteral(u"コピー"), this, &TextPane::copy);
    copyItem->setObjectName(QStringLiteral("CopyItem"));
    copyItem->setEnabled(hasSelection());
    QAction *allItem = menu.addAction(QStringLiteral(u"すべて選択"), this, &TextPane::selectAll);
    allItem->setObjectName(QStringLiteral("SelectAllItem"));
    allItem->setEnabled(!lines_.isEmpty());
    menu.exec(event->globalPos());
}

} // namespace kirano
