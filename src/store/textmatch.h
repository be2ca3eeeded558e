#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <bitset>

namespace kirano {

// Whether a Shift_JIS text holds a searched one, as a search box finds it:
// ASCII letters in either case, and whole characters only, so that a byte
// inside a double-byte character never starts or ends a match.
class TextMatch {
  public:
    // The empty needle matches every text.
    TextMatch() = default;
    explicit TextMatch(const QByteArray &needle);
    // A typed text; one the code page cannot hold matches no text (no name
    // holds it).
    static TextMatch typed(const QString &text);

    bool matches(QByteArrayView text) const;
    // The same for a text already folded by fold(): the needle is looked for
    // byte for byte, which is what a search of many rows spends its time on.
    bool matchesFolded(QByteArrayView folded) const;
    // Appends the text with its ASCII letters in capitals, never a byte of a
    // double-byte character.
    static void fold(QByteArrayView text, QByteArray &to);
    bool isEmpty() const { return needle_.isEmpty() && !never_; }
    // What every text this match finds holds: its needle, ASCII letters in
    // capitals.
    const QByteArray &needle() const { return needle_; }
    bool matchesNothing() const { return never_; }
    // Every text this match finds, `wider` finds too: a search for it
    // needs to look only among what `wider` found.
    bool narrows(const TextMatch &wider) const;

    bool operator==(const TextMatch &o) const { return needle_ == o.needle_ && never_ == o.never_; }

  private:
    bool restMatches(const char *at) const;

    QByteArray needle_; // ASCII letters at a character's start in capitals
    // The needle's places that hold such a letter (the first 64 bytes).
    std::bitset<64> letters_;
    bool never_ = false;
};

} // namespace kirano
