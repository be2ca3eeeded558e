#pragma once
#include "store/textmatch.h"

#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

class QTimer;

namespace kirano {

class FilteredListModel;

// A search over one list as the user types: the rows whose text holds the
// typed text are shown, and only they. Rows are looked at a slice at a time
// between events, so no keystroke holds the window whatever the list's
// size; the rows shown change once the search has seen them all. The rows'
// texts are first copied side by side into one block (the forum list keeps
// its names apart, in file order), so that every search after reads memory
// in order. The last few searches' rows are kept: a longer text looks only
// among what a shorter one found, and a text found before (after Backspace)
// is shown at once.
class ListFilter : public QObject {
    Q_OBJECT
  public:
    // How long one slice may look at rows before the window's events run.
    static constexpr int kSliceMs = 8;

    // keepsText: when the list's rows are replaced, the text is looked for
    // again among the new ones; otherwise it is dropped with them.
    ListFilter(FilteredListModel *model, bool keepsText, QObject *parent = nullptr);

    // The empty text shows every row.
    void setText(const QString &text);
    const QString &text() const { return text_; }
    // Copies the rows' texts side by side ahead of the first search, a slice
    // at a time between events (the search box got the keyboard, or a list
    // that keeps its text was read).
    void prepare();
    // Rows are still being looked at.
    bool isSearching() const { return searching_; }
    // The rows' texts are being copied.
    bool isPreparing() const;

  signals:
    // The list shows what the text finds: its rows were reset.
    void shown();
    // The list's rows were replaced and the text went with them.
    void textDropped();

  private:
    void rowsReplaced();
    // One slice: the texts copied first, then rows looked at.
    void work();
    // `all`: every row of the whole list, `rows` unused.
    void show(const TextMatch &match, QList<int> rows, bool all);
    QByteArrayView indexedText(int row) const {
        const qsizetype start = row == 0 ? 0 : ends_[size_t(row) - 1];
        return QByteArrayView(texts_.constData() + start, ends_[size_t(row)] - start);
    }

    FilteredListModel *model_;
    bool keepsText_;
    QString text_;

    // The search under way: it looks at rows next_ to end_ of the whole list,
    // or of among_ when a wider search already found them.
    bool searching_ = false;
    TextMatch match_;
    std::optional<QList<int>> among_;
    int next_ = 0;
    int end_ = 0;
    // Until a row fails, every row looked at matched, and the rows found
    // are written out only at the first that fails: a text every row holds
    // costs no list of a million numbers.
    bool allSoFar_ = true;
    QList<int> found_;
    QTimer *slice_;

    // The rows' texts side by side, folded (TextMatch::fold): row r is
    // texts_ from ends_[r - 1] to ends_[r]; indexed_ rows so far.
    QByteArray texts_;
    std::vector<qsizetype> ends_;
    int indexed_ = 0;

    struct Found {
        TextMatch match;
        QList<int> rows;
        bool all = false; // every row of the whole list; `rows` unused
    };
    std::deque<Found> recent_; // the newest first
};

} // namespace kirano
