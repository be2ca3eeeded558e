#include "store/listfilter.h"
#include "store/filteredlistmodel.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace kirano {

namespace {

// The searches kept: enough for a word typed and taken back, few enough
// that a million-row list keeps at most a few megabytes of them.
constexpr size_t kKept = 4;
// Rows looked at between two looks at the clock.
constexpr int kRowsBetweenLooks = 512;

} // namespace

ListFilter::ListFilter(FilteredListModel *model, bool keepsText, QObject *parent)
    : QObject(parent), model_(model), keepsText_(keepsText), slice_(new QTimer(this)) {
    slice_->setSingleShot(true);
    slice_->setInterval(0);
    connect(slice_, &QTimer::timeout, this, &ListFilter::lookAtSlice);
    connect(model_, &FilteredListModel::rowsReplaced, this, &ListFilter::rowsReplaced);
}

void ListFilter::setText(const QString &text) {
    text_ = text;
    const TextMatch match = TextMatch::typed(text);
    searching_ = false;
    slice_->stop();
    if (match.isEmpty()) {
        model_->showAll();
        emit shown();
        return;
    }
    // The narrowest search already made that holds every row this one can
    // find; the same search shows at once.
    const Found *wider = nullptr;
    for (const Found &found : recent_) {
        if (found.match == match) {
            show(match, found.rows);
            return;
        }
        if (match.narrows(found.match) && (!wider || found.rows.size() < wider->rows.size()))
            wider = &found;
    }
    match_ = match;
    among_ = wider ? std::optional<QList<int>>(wider->rows) : std::nullopt;
    next_ = 0;
    end_ = among_ ? int(among_->size()) : model_->wholeCount();
    found_ = {};
    searching_ = true;
    lookAtSlice(); // a short list is done at once
}

void ListFilter::lookAtSlice() {
    if (!searching_)
        return;
    QElapsedTimer clock;
    clock.start();
    while (next_ < end_) {
        const int stop = qMin(end_, next_ + kRowsBetweenLooks);
        for (; next_ < stop; ++next_) {
            const int row = among_ ? among_->at(next_) : next_;
            if (match_.matches(model_->searchedText(row)))
                found_.append(row);
        }
        if (next_ < end_ && clock.elapsed() >= kSliceMs) {
            slice_->start();
            return;
        }
    }
    searching_ = false;
    show(match_, std::exchange(found_, {}));
}

void ListFilter::show(const TextMatch &match, QList<int> rows) {
    auto same = [&match](const Found &f) { return f.match == match; };
    recent_.erase(std::remove_if(recent_.begin(), recent_.end(), same), recent_.end());
    recent_.push_front({match, rows});
    while (recent_.size() > kKept)
        recent_.pop_back();
    model_->showOnly(std::move(rows));
    emit shown();
}

void ListFilter::rowsReplaced() {
    searching_ = false;
    slice_->stop();
    recent_.clear();
    if (text_.isEmpty())
        return;
    if (keepsText_) {
        setText(text_);
        return;
    }
    text_.clear();
    emit textDropped();
}

} // namespace kirano
