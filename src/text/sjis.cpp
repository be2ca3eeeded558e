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

namespace {

// The code page's converter swaps three control codes (0x1A shows as U+001C,
// 0x1C as U+007F, 0x7F as U+001A) and gives U+001A, which draws as nothing,
// for a byte it cannot map. These bytes are never part of a double-byte
// character, so the text is cut at them and they are shown as themselves.
bool isSwappedControl(uchar b) {
    return b == 0x1A || b == 0x1C || b == 0x7F;
}

const QChar kReplacement(0xFFFD);

// Opening a converter costs more than converting a field, and checking a
// list converts fields by the hundred thousand: each thread keeps one
// decoder. Decoding asks nothing of its errors, so a kept one is as good.
QStringDecoder &sharedDecoder() {
    thread_local QStringDecoder kept(kCodecName, QStringConverter::Flag::Stateless);
    kept.resetState();
    return kept;
}

// A run without swapped controls and without a lone lead byte at its end.
void appendRun(QString &out, QStringDecoder &decoder, QByteArrayView run) {
    if (run.isEmpty())
        return;
    const qsizetype from = out.size();
    if (out.isEmpty())
        out = decoder.decode(run);
    else
        out += decoder.decode(run);
    for (qsizetype i = from; i < out.size(); ++i) {
        if (out.at(i) == u'\x1A')
            out[i] = kReplacement;
    }
}

} // namespace

QString decode(QByteArrayView sjis) {
    QStringDecoder &decoder = sharedDecoder();
    QString out;
    const qsizetype size = sjis.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < size) {
        const uchar b = static_cast<uchar>(sjis[i]);
        if (isLeadByte(b) && i + 1 < size && !isSwappedControl(static_cast<uchar>(sjis[i + 1]))) {
            i += 2;
            continue;
        }
        if (!isSwappedControl(b) && !isLeadByte(b)) {
            ++i;
            continue;
        }
        // A swapped control shows as itself; a lead byte without its second
        // byte, which the converter would drop, as the replacement character.
        appendRun(out, decoder, sjis.sliced(start, i - start));
        out += isLeadByte(b) ? kReplacement : QChar(char16_t(b));
        start = ++i;
    }
    appendRun(out, decoder, sjis.sliced(start));
    return out;
}

qsizetype wholeCharactersIn(QByteArrayView sjis, qsizetype maxBytes) {
    const qsizetype limit = qMin(maxBytes, sjis.size());
    qsizetype cut = 0;
    while (cut < limit) {
        const qsizetype step = isLeadByte(static_cast<uchar>(sjis[cut])) ? 2 : 1;
        if (cut + step > limit)
            break;
        cut += step;
    }
    return cut;
}

QString shownText(QByteArrayView sjis, qsizetype maxBytes) {
    if (sjis.size() <= maxBytes)
        return decode(sjis);
    return decode(sjis.first(wholeCharactersIn(sjis, maxBytes))) + QChar(0x2026);
}

std::optional<QByteArray> encode(QStringView text) {
    // A converter of its own: whether it met a character the code page
    // lacks is the answer here, and a kept one would remember the last.
    QStringEncoder encoder(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(withCp932Forms(text));
    if (encoder.hasError())
        return std::nullopt;
    // Undo the converter's swap of three control codes (see decode); these
    // bytes are never the second byte of a character.
    for (char &b : bytes) {
        if (b == '\x7F')
            b = '\x1A';
        else if (b == '\x1C')
            b = '\x7F';
        else if (b == '\x1A')
            b = '\x1C';
    }
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
