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
// What the texts' block is made ready to hold per row: a forum's name is 40
// bytes, a room's or a library's row about as long.
constexpr qsizetype kRoomPerText = 64;

} // namespace

ListFilter::ListFilter(FilteredListModel *model, bool keepsText, QObject *parent)
    : QObject(parent), model_(model), keepsText_(keepsText), slice_(new QTimer(this)) {
    slice_->setSingleShot(true);
    slice_->setInterval(0);
    connect(slice_, &QTimer::timeout, this, &ListFilter::work);
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
    auto size = [this](const Found &f) { return f.all ? model_->wholeCount() : f.rows.size(); };
    for (const Found &found : recent_) {
        if (found.match == match) {
            show(match, found.rows, found.all);
            return;
        }
        if (match.narrows(found.match) && (!wider || size(found) < size(*wider)))
            wider = &found;
    }
    match_ = match;
    among_ = wider && !wider->all ? std::optional<QList<int>>(wider->rows) : std::nullopt;
    next_ = 0;
    end_ = among_ ? int(among_->size()) : model_->wholeCount();
    allSoFar_ = true;
    found_ = {};
    searching_ = true;
    work(); // a short list is done at once
}

void ListFilter::prepare() {
    if (indexed_ < model_->wholeCount() && !slice_->isActive())
        slice_->start();
}

bool ListFilter::isPreparing() const {
    return indexed_ < model_->wholeCount() && slice_->isActive();
}

void ListFilter::work() {
    QElapsedTimer clock;
    clock.start();
    const int rows = model_->wholeCount();
    if (indexed_ == 0 && ends_.empty()) {
        // Room enough from the start, so that the block is never copied to
        // grow: only the pages written are ever taken, a slice at a time.
        ends_.reserve(size_t(rows));
        texts_.reserve(qsizetype(rows) * kRoomPerText);
    }
    while (indexed_ < rows) {
        const int stop = qMin(rows, indexed_ + kRowsBetweenLooks);
        for (; indexed_ < stop; ++indexed_) {
            TextMatch::fold(model_->searchedText(indexed_), texts_);
            ends_.push_back(texts_.size());
        }
        if (indexed_ < rows && clock.elapsed() >= kSliceMs) {
            slice_->start();
            return;
        }
    }
    if (!searching_)
        return;
    while (next_ < end_) {
        const int stop = qMin(end_, next_ + kRowsBetweenLooks);
        for (; next_ < stop; ++next_) {
            const int row = among_ ? among_->at(next_) : next_;
            if (match_.matchesFolded(indexedText(row))) {
                if (!allSoFar_)
                    found_.append(row);
            } else if (allSoFar_) {
                allSoFar_ = false;
                found_.reserve(end_); // taken only as written
                for (int before = 0; before < next_; ++before)
                    found_.append(among_ ? among_->at(before) : before);
            }
        }
        if (next_ < end_ && clock.elapsed() >= kSliceMs) {
            slice_->start();
            return;
        }
    }
    searching_ = false;
    if (allSoFar_) {
        const bool whole = !among_;
        show(match_, whole ? QList<int>() : *among_, whole);
    } else {
        show(match_, std::exchange(found_, {}), false);
    }
}

void ListFilter::show(const TextMatch &match, QList<int> rows, bool all) {
    auto same = [&match](const Found &f) { return f.match == match; };
    recent_.erase(std::remove_if(recent_.begin(), recent_.end(), same), recent_.end());
    recent_.push_front({match, rows, all});
    while (recent_.size() > kKept)
        recent_.pop_back();
    if (all)
        model_->showAll();
    else
        model_->showOnly(std::move(rows));
    emit shown();
}

void ListFilter::rowsReplaced() {
    searching_ = false;
    slice_->stop();
    recent_.clear();
    texts_ = QByteArray();
    ends_ = {};
    indexed_ = 0;
    // The forum list is searched most: its names are made ready between
    // events as soon as it is read, not when the first key comes.
    if (keepsText_)
        prepare();
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
