#pragma once
// Shift_JIS (code page 932) bytes <-> screen text. Everything read from or
// written to a file stays bytes; these are the only crossings.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace kirano::text {

// Bytes to screen text. A byte that is no character, and a lead byte
// without its second byte, show as U+FFFD; control bytes show as themselves.
// The bytes themselves are never changed by this.
QString decode(QByteArrayView sjis);

// What a list row shows: the first `maxBytes` bytes at most (never half a
// double-byte character), then an ellipsis when there were more, so that a
// row of megabytes costs no more to draw than a screenful.
constexpr qsizetype kShownBytes = 4096;
QString shownText(QByteArrayView sjis, qsizetype maxBytes = kShownBytes);

// How many bytes of the text's start make whole characters and no more than
// maxBytes: where a drawn row may be cut.
qsizetype wholeCharactersIn(QByteArrayView sjis, qsizetype maxBytes);

// Screen text to bytes; nothing when a character has no code in page 932
// (no '?' is ever produced). The usual Unicode look-alikes of the JIS
// characters (wave dash, double vertical line, minus sign, cent, pound, not
// sign) are stored as their code page 932 forms, as a Japanese input method on
// this platform types them.
std::optional<QByteArray> encode(QStringView text);

// True when the text holds a CR, LF or NUL. No stored field may: each field is
// one line of its file.
bool holdsLineBreak(QStringView text);

// A path or name as bytes, only when the bytes name exactly this text again
// (a look-alike stored in its code page 932 form would name another file)
// and it holds no line break.
std::optional<QByteArray> encodeExact(QStringView text);

// Bytes of a text known to be encodable (the program's own constants).
QByteArray bytesOf(QStringView text);

// Number of Shift_JIS bytes the text would take; a character without a code
// counts as two, like the double-byte character it stands for.
qsizetype encodedLength(QStringView text);

// True when b starts a double-byte character.
inline bool isLeadByte(uchar b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// A path held as bytes, as a native file name.
inline QString nativePath(QByteArrayView sjisPath) {
    return decode(sjisPath);
}

} // namespace kirano::text
