#pragma once
#include <QByteArray>
#include <QList>
#include <QWidget>

namespace kirano {

// The top-page text (Label2): Shift_JIS lines drawn in the fixed-pitch font
// at the top left of its scroll box. It sizes itself from the byte widths,
// since a double-byte character is exactly two half-width ones wide, and
// decodes only the lines it paints, so a long page costs nothing to show.
class TextPane : public QWidget {
    Q_OBJECT
  public:
    explicit TextPane(const QString &name, QWidget *parent = nullptr);

    void setLines(QList<QByteArray> lines);
    void clear() { setLines({}); }
    const QList<QByteArray> &lines() const { return lines_; }
    // The lines as shown, each ended by a line break.
    QString text() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    int lineHeight() const;
    QList<QByteArray> lines_;
    qsizetype widestLine_ = 0;
};

} // namespace kirano
