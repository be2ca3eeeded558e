#include "text/sjis.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kirano::text {

namespace {

constexpr const char *kCodecName = "windows-31j";

// Characters that a Unicode input method types where code page 932 has its own
// code point for the same glyph.
QChar cp932Form(QChar c) {
    switch (c.unicode()) {
    case 0x301C:
        return QChar(0xFF5E); // WAVE DASH -> FULLWIDTH TILDE
    case 0x2016:
        return QChar(0x2225); // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x2212:
        return QChar(0xFF0D); // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x00A2:
        return QChar(0xFFE0); // CENT SIGN
    case 0x00A3:
        return QChar(0xFFE1); // POUND SIGN
    case 0x00AC:
        return QChar(0xFFE2); // NOT SIGN
    default:
        return c;
    }
}

QString withCp932Forms(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(cp932Form(c));
    return out;
}

} // namespace

QString decode(QByteArrayView sjis) {
    QStringDecoder decoder(kCodecName, QStringConverter::Flag::Stateless);
    return decoder.decode(sjis);
}

std::optional<QByteArray> encode(QStringView text) {
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(withCp932Forms(text));
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool holdsLineBreak(QStringView text) {
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\0')
            return true;
    }
    return false;
}

std::optional<QByteArray> encodeExact(QStringView text) {
    if (holdsLineBreak(text))
        return std::nullopt;
    std::optional<QByteArray> bytes = encode(text);
    if (!bytes || decode(*bytes) != text)
        return std::nullopt;
    return bytes;
}

QByteArray bytesOf(QStringView text) {
    auto bytes = encode(text);
    Q_ASSERT(bytes);
    return bytes.value_or(QByteArray());
}

qsizetype encodedLength(QStringView text) {
    if (auto bytes = encode(text))
        return bytes->size();
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        auto bytes = encode(text.mid(i, units));
        length += bytes ? bytes->size() : 2;
        i += units - 1;
    }
    return length;
}

} // namespace kirano::text
