#include "patrol/displayrow.h"
#include "text/numbers.h"
#include "text/sjis.h"

namespace kirano {

namespace {

// The display texts as bytes, encoded once.
struct Texts {
    QByteArray bill = text::bytesOf(u"利用料金情報");
    QByteArray myforum = text::bytesOf(u"フォーラムリスト取得");
    QByteArray mestitlea = text::bytesOf(u"会議室タイトル（大）を取得");
    QByteArray dltitlea = text::bytesOf(u"ＤＬタイトル（大）を取得");
    QByteArray mesread = text::bytesOf(u"番会議室を読み込み");
    QByteArray mesup = text::bytesOf(u"番会議室に書き込み");
    QByteArray mailuptxt = text::bytesOf(u"テキストメール送信");
    QByteArray mailupbin = text::bytesOf(u"バイナリメール送信");
    QByteArray mesrc = text::bytesOf(u"番会議室の未読");
    QByteArray dltitleb = text::bytesOf(u"番ＬＩＢのタイトルを取得");
    QByteArray since = text::bytesOf(u"以降");
    QByteArray download = text::bytesOf(u"をダウンロード");
    QByteArray notices = text::bytesOf(u"お知らせ");
    QByteArray patioread = text::bytesOf(u"パティオ読み込み");
    QByteArray patioup = text::bytesOf(u"パティオ書き込み");
    QByteArray patiorc = text::bytesOf(u"パティオの既読");
    QByteArray bbsup = text::bytesOf(u"掲示板書き込み");
    QByteArray newtitle = text::bytesOf(u"お知らせタイトル取得");
};

const Texts &texts() {
    static const Texts t;
    return t;
}

// "%2d" filled with N(param2), then the rest of the pattern.
std::optional<QByteArray> numbered(const QByteArray &param2, const QByteArray &rest) {
    std::optional<qint32> n = text::strictInteger(param2);
    if (!n)
        return std::nullopt;
    return text::fill2d(*n) + rest;
}

std::optional<DisplayRow> withNumbered(const PatrolEntry &e, const QByteArray &rest,
                                       const QByteArray &column3) {
    std::optional<QByteArray> column2 = numbered(e.param2, rest);
    if (!column2)
        return std::nullopt;
    return DisplayRow{e.param1, *column2, column3};
}

// The keywords whose second column shows param2 as a number.
bool numberedKeyword(const QByteArray &command) {
    return command == "mesread" || command == "mesup" || command == "mesrc" ||
           command == "dltitleb";
}

} // namespace

bool hasDisplayRow(const PatrolEntry &entry) {
    return !numberedKeyword(entry.command) || text::strictInteger(entry.param2).has_value();
}

std::optional<DisplayRow> BuildDisplayRow(const PatrolEntry &e) {
    using text::fileNamePart;
    const Texts &t = texts();
    const QByteArray &c = e.command;
    if (c == "bill")
        return DisplayRow{t.bill, {}, {}};
    if (c == "myforum")
        return DisplayRow{t.myforum, {}, {}};
    if (c == "mestitlea")
        return DisplayRow{e.param1, t.mestitlea, {}};
    if (c == "dltitlea")
        return DisplayRow{e.param1, t.dltitlea, {}};
    if (c == "mesread")
        return withNumbered(e, t.mesread, fileNamePart(e.param3));
    if (c == "mesup")
        return withNumbered(e, t.mesup, fileNamePart(e.param3));
    if (c == "mailuptxt")
        return DisplayRow{t.mailuptxt, {}, fileNamePart(e.param1)};
    if (c == "mailupbin")
        return DisplayRow{t.mailupbin, e.param2 + "  " + e.param3, fileNamePart(e.param1)};
    if (c == "mesrc")
        return withNumbered(e, t.mesrc, e.param3);
    if (c == "dltitleb")
        return withNumbered(e, t.dltitleb, e.param3 + t.since);
    if (c == "dldown")
        return DisplayRow{e.param1, e.param2 + '-' + e.param3 + t.download, fileNamePart(e.param4)};
    if (c == "new")
        return DisplayRow{t.notices, {}, fileNamePart(e.param1)};
    if (c == "patioread")
        return DisplayRow{e.param1, t.patioread, fileNamePart(e.param3)};
    if (c == "patioup")
        return DisplayRow{e.param1, t.patioup, fileNamePart(e.param3)};
    if (c == "patiorc")
        return DisplayRow{e.param1, t.patiorc, e.param3};
    if (c == "bbsup")
        return DisplayRow{t.bbsup, e.param1 + '-' + e.param2, fileNamePart(e.param3)};
    if (c == "newtitle")
        return DisplayRow{t.newtitle, {}, {}};
    return DisplayRow{e.command, e.param1, e.param2};
}

} // namespace kirano
