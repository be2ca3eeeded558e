#pragma once
#include <QByteArray>
#include <QList>
#include <QWidget>

namespace kirano {

// The top-page text (Label2): Shift_JIS lines drawn in the fixed-pitch font
// at the top left of its scroll box. It sizes itself from the lines' widths in
// half-width cells (a double-byte character is exactly two half-width ones
// wide, a tab reaches the next multiple of eight) and decodes only the lines
// it paints, so a long page costs nothing to show; a line of megabytes is
// drawn cut short. Like a label, its text can be selected with the mouse and
// copied, and assistive tools read it.
class TextPane : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
  public:
    explicit TextPane(const QString &name, QWidget *parent = nullptr);

    void setLines(QList<QByteArray> lines);
    void clear() { setLines({}); }
    const QList<QByteArray> &lines() const { return lines_; }
    // The lines as shown, each ended by a line break.
    QString text() const;
    QString selectedText() const;
    void copy() const;
    void selectAll();

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

  private:
    // A place between two characters of a shown line.
    struct Spot {
        int line = 0;
        int column = 0;
        bool operator<(const Spot &other) const {
            return line != other.line ? line < other.line : column < other.column;
        }
        bool operator==(const Spot &other) const {
            return line == other.line && column == other.column;
        }
    };

    QString shown(int line) const;
    int lineHeight() const;
    Spot spotAt(QPoint point) const;
    // The selected columns of one line, as [from, to).
    std::pair<int, int> selectedColumns(int line, const QString &shownText) const;
    bool hasSelection() const { return !(anchor_ == cursor_); }

    QList<QByteArray> lines_;
    qsizetype widestLine_ = 0;
    Spot anchor_;
    Spot cursor_;
};

} // namespace kirano
