// The number rules and byte-position helpers.
#include "fuzzsupport.h"
#include "text/numbers.h"
#include "text/sjis.h"

using namespace kirano;
using kirano::fuzz::check;

namespace {

// Where each character starts, a double-byte character counting two.
QList<qsizetype> characterStarts(const QByteArray &bytes) {
    QList<qsizetype> starts;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        starts << i;
        if (text::isLeadByte(static_cast<uchar>(bytes[i])))
            ++i;
    }
    starts << bytes.size();
    return starts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = fuzz::input(data, size);

    const qint32 leading = text::leadingNumber(bytes);
    check(text::strictInteger(text::decimal(leading)) == leading, "decimal text reads back");
    if (leading >= -9 && leading <= 99)
        check(text::strictInteger(text::fill2d(leading)) == leading, "%2d text reads back");
    const std::optional<qint32> strict = text::strictInteger(bytes);
    if (strict && !bytes.contains('$'))
        check(text::leadingNumber(bytes) == *strict, "a whole number is its leading number");

    const QList<qsizetype> starts = characterStarts(bytes);
    const QByteArray name = text::fileNamePart(bytes);
    check(bytes.endsWith(name) && starts.contains(bytes.size() - name.size()),
          "the file name is a tail that starts at a character");

    const QByteArray upper = text::asciiUpper(bytes);
    check(upper.size() == bytes.size(), "upper case keeps the length");
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = static_cast<uchar>(bytes[i]);
        const bool folds = starts.contains(i) && b >= 'a' && b <= 'z';
        check(static_cast<uchar>(upper[i]) == (folds ? b - 'a' + 'A' : b),
              "only a to z outside double-byte characters change");
    }

    const qsizetype start = size > 0 ? data[0] % 16 + 1 : 1;
    const qsizetype count = size > 1 ? data[1] % 16 : 0;
    check(text::bytesAt(bytes, start, count) == bytes.mid(start - 1, count), "bytes at");
    check(text::isDateLine(bytes) == bytes.startsWith(text::bytesOf(u"データ取得")),
          "a date line starts with its ten bytes");
    return 0;
}
