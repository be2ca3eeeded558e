#include "app/statusline.h"

#include <QLabel>

namespace kirano {

namespace {

QLabel *makeLabel(const char *name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

StatusLine::StatusLine(QWidget *parent)
    : QStatusBar(parent), problems_(makeLabel("StatusProblems", this)),
      note_(makeLabel("StatusNote", this)), count_(makeLabel("StatusCount", this)),
      unsaved_(makeLabel("StatusUnsaved", this)) {
    setObjectName(QStringLiteral("StatusLine"));
    setSizeGripEnabled(true);
    // The problems take what is left and are cut at its end; the whole
    // text stays in the tooltip.
    problems_->setMinimumWidth(0);
    problems_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(problems_, 1);
    addPermanentWidget(note_);
    addPermanentWidget(count_);
    addPermanentWidget(unsaved_);
    showMarkedCount(0);
    showUnsaved(false);
    note_->hide();
}

void StatusLine::showProblems(const QString &problems) {
    // A line each in the tooltip; one line here.
    problems_->setText(QString(problems).replace(u'\n', QStringLiteral(u" ／ ")));
    problems_->setToolTip(problems);
}

void StatusLine::addPreview(QWidget *preview) {
    // No higher than the line's words, so that the line keeps its height
    // and the window above it its room.
    preview->setMaximumHeight(count_->sizeHint().height() + 4);
    // Index 1: after the problems, before the note.
    insertPermanentWidget(1, preview);
}

void StatusLine::showNote(const QString &note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void StatusLine::withdrawNote(const QString &note) {
    if (note_->text() == note)
        showNote(QString());
}

void StatusLine::showMarkedCount(int count) {
    count_->setText(QStringLiteral(u"問題 %1 件").arg(count));
}

void StatusLine::showUnsaved(bool unsaved) {
    unsaved_->setText(unsaved ? QStringLiteral(u"未保存の変更あり") : QString());
    unsaved_->setVisible(unsaved);
}

} // namespace kirano
