// The Shift_JIS codec: decoding shows every byte, encoding the shown text
// gives bytes that decode to it again, and a cut row is a prefix of the whole.
#include "fuzzsupport.h"
#include "text/sjis.h"

using namespace kirano;
using kirano::fuzz::check;

namespace {

qsizetype countOf(const QString &text, char16_t c) {
    return text.count(QChar(c));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzz::input(data, size);
    const QString shown = text::decode(bytes);
    check(shown.size() <= bytes.size(), "at most one character a byte");
    for (char control : {'\x1a', '\x1c', '\x7f'})
        check(countOf(shown, static_cast<uchar>(control)) == bytes.count(control),
              "control bytes show as themselves");

    if (const std::optional<QByteArray> encoded = text::encode(shown)) {
        check(text::decode(*encoded) == shown, "encoded screen text decodes to itself");
        check(text::encodedLength(shown) == encoded->size(), "encoded length");
    } else {
        check(shown.contains(QChar(0xFFFD)), "only a replaced byte fails to encode");
    }

    const qsizetype limit = size > 0 ? data[0] % 64 : 0;
    const QString row = text::shownText(bytes, limit);
    if (bytes.size() <= limit) {
        check(row == shown, "a short row shows whole");
    } else {
        check(row.endsWith(QChar(0x2026)) && shown.startsWith(row.chopped(1)),
              "a cut row is the start of the whole and an ellipsis");
    }

    // The input as typed text: what encodes decodes to a text that encodes
    // to the same bytes.
    const QString typed = QString::fromUtf16(reinterpret_cast<const char16_t *>(data),
                                             static_cast<qsizetype>(size / 2));
    if (const std::optional<QByteArray> encoded = text::encode(typed)) {
        check(text::encode(text::decode(*encoded)) == encoded, "typed text encodes stably");
        check(text::encodedLength(typed) == encoded->size(), "typed text's length");
    }
    return 0;
}
