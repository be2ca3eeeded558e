#pragma once
// The forum list (DataFolder::forumList): two-line records, the forum's name
// as shown (40 bytes, filled) and its code, the forum's sub-path under the
// data folder.

#include "text/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

namespace kirano {

struct ForumRecord {
    QByteArray name;
    QByteArray code;
};

// The records of a forum list, sorted. A list of a million forums is the
// file's bytes in one buffer and, per record, where its name and code lie in
// it: two allocations in all, not two per record. Copies share both.
class ForumList {
  public:
    qsizetype size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    QByteArrayView name(qsizetype i) const {
        const Span &span = records_.get()[i];
        return QByteArrayView(bytes_.constData() + span.nameStart, span.nameSize);
    }
    QByteArrayView code(qsizetype i) const {
        const Span &span = records_.get()[i];
        return QByteArrayView(bytes_.constData() + span.codeStart, span.codeSize);
    }
    // The record as a copy of its own, to keep beyond the list.
    ForumRecord at(qsizetype i) const { return {name(i).toByteArray(), code(i).toByteArray()}; }

    // Hands out the records one by one, as copies.
    class const_iterator {
      public:
        const_iterator(const ForumList *list, qsizetype i) : list_(list), i_(i) {}
        ForumRecord operator*() const { return list_->at(i_); }
        const_iterator &operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return i_ == other.i_; }
        bool operator!=(const const_iterator &other) const { return i_ != other.i_; }

      private:
        const ForumList *list_;
        qsizetype i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Offsets into the buffer: a file of 4 GiB or more is not read.
    struct Span {
        quint32 nameStart;
        quint32 nameSize;
        quint32 codeStart;
        quint32 codeSize;
    };

  private:
    friend ForumList parseForumList(const QByteArray &content);
    QByteArray bytes_;
    std::shared_ptr<const Span> records_; // size_ of them, in one block
    qsizetype size_ = 0;
};

// The records sorted by name, then code, ignoring the case of ASCII letters
// (never inside a double-byte character); equal keys keep file order. A last
// record without its code line gets an empty code. Nothing when the file
// cannot be read.
ForumList readForumList(const QString &path);
// The same, or why the file cannot be read: a list of 4 GiB or more (its
// offsets' reach) is refused before a byte is read.
text::Result<ForumList> tryReadForumList(const QString &path);
// The same for the file's content, as read.
ForumList parseForumList(const QByteArray &content);

} // namespace kirano

Q_DECLARE_TYPEINFO(kirano::ForumRecord, Q_RELOCATABLE_TYPE);
