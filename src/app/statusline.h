#pragma once
#include <QStatusBar>

class QLabel;

namespace kirano {

// The status line at the foot of the main window: what the required layout
// has no place for. From the left: the selected entry's problems in the
// words of the marks, then a note of the window's own (a list file changed
// by another program, a recovery copy that cannot be written, marks that
// may be late), the number of marked entries, and whether the list has
// unsaved changes. Each is a label named for tests and tools: StatusProblems,
// StatusNote, StatusCount, StatusUnsaved.
class StatusLine : public QStatusBar {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget *parent = nullptr);

    // One line per problem, as the marks word them; empty for none.
    void showProblems(const QString &problems);
    void showNote(const QString &note);
    // Takes the note away only if it is still the one shown: a later note
    // (a watch limit, a list too large) stays.
    void withdrawNote(const QString &note);
    void showMarkedCount(int count);
    void showUnsaved(bool unsaved);
    // The night's preview (its day's choice and count), first of the
    // permanent ones.
    void addPreview(QWidget *preview);

  private:
    QLabel *problems_;
    QLabel *note_;
    QLabel *count_;
    QLabel *unsaved_;
};

} // namespace kirano
