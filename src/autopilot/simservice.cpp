#include "autopilot/simservice.h"
#include "text/sjis.h"

#include <QDir>
#include <array>
#include <numeric>

namespace kirano::autopilot {

namespace {

// splitmix64: the same numbers on every platform and compiler, which the
// standard library's distributions do not promise. Each draw is a statement
// of its own: the operands of one expression are evaluated in an order each
// compiler chooses.
class Rng {
  public:
    Rng(quint64 seed, quint64 a = 0, quint64 b = 0, quint64 c = 0) : state_(seed) {
        for (quint64 part : {a, b, c})
            state_ = next() ^ part;
    }
    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    template <typename List> const auto &pick(const List &list) {
        return list[below(int(list.size()))];
    }

  private:
    quint64 state_;
};

// What each made-up thing is seeded from, so that one forum's rooms do not
// depend on how many other forums were looked at.
enum Stream : quint64 {
    Forums = 1,
    RoomCount,
    LibraryCount,
    Rooms,
    Libraries,
    Top,
    Messages,
    Files,
    Content,
    Notices,
    Bill,
    Warnings,
    Patios
};

QByteArray sjis(const char16_t *text) {
    return text::bytesOf(QStringView(text));
}

QList<QByteArray> sjisList(std::initializer_list<const char16_t *> texts) {
    QList<QByteArray> list;
    for (const char16_t *t : texts)
        list.append(sjis(t));
    return list;
}

struct Topic {
    const char16_t *name;
    const char *code;
};

constexpr std::array<Topic, 16> kTopics{{
    {u"パソコン初心者", "FPCBEG"},
    {u"鉄道", "FRAIL"},
    {u"料理と食卓", "FCOOK"},
    {u"釣り", "FFISH"},
    {u"クラシック音楽", "FCLASSIC"},
    {u"囲碁・将棋", "FIGO"},
    {u"旅行", "FTRAVEL"},
    {u"写真", "FPHOTO"},
    {u"プログラミング", "FPROG"},
    {u"映画", "FCINEMA"},
    {u"園芸", "FGARDEN"},
    {u"天文", "FASTRO"},
    {u"ペット", "FPET"},
    {u"自動車", "FCAR"},
    {u"読書", "FBOOK"},
    {u"山歩き", "FMOUNT"},
}};

// The texts the service is made of, encoded once.
struct Words {
    QByteArray forum = sjis(u"フォーラム");
    QList<QByteArray> rooms = sjisList({
        u"雑談室",       u"初心者質問箱",     u"新製品情報",     u"自己紹介",     u"オフ会の相談",
        u"シスオペ室",   u"よくある質問",     u"中古品情報",     u"体験記",       u"イベント情報",
        u"本と雑誌",     u"ソフトウェア談義", u"地方の話題",     u"海外の話題",   u"工作室",
        u"資料室",       u"こぼれ話",         u"お便りコーナー", u"作品発表",     u"討論室",
        u"深夜の雑談",   u"お悩み相談",       u"道具の話",       u"昔話",         u"ニュース速報",
        u"リンク集",     u"テスト発言",       u"休憩室",         u"ボランティア", u"季節の話題",
        u"掲示板案内",   u"ご意見箱",         u"入門講座",       u"上級者の部屋", u"記録と統計",
        u"懐かしの話題", u"写真の話",         u"用語集",         u"試作と実験",   u"作者の部屋",
    });
    QList<QByteArray> libraries = sjisList({
        u"フリーソフト",
        u"画像データ",
        u"ドキュメント",
        u"ゲーム",
        u"ユーティリティ",
        u"音楽データ",
        u"フォント",
        u"サンプルプログラム",
        u"体験記",
        u"会議室ログ",
        u"地図と資料",
        u"表計算データ",
        u"作品集",
        u"シェアウェア",
        u"会員の作品",
    });
    QList<QByteArray> fileTitles = sjisList({
        u"画像ビューア Ver1.2",
        u"駅の写真集",
        u"家庭料理のレシピ集",
        u"簡単な家計簿",
        u"通信ログ整理ツール",
        u"時刻表検索",
        u"名曲のMIDIデータ",
        u"星座早見表",
        u"釣り場の地図",
        u"入門者向け解説書",
        u"パズルゲーム",
        u"住所録ソフト",
        u"テキスト整形ツール",
        u"旅行記 北海道編",
        u"対局の記録",
        u"園芸カレンダー",
        u"画面の壁紙集",
        u"圧縮解凍ツール",
    });
    QList<QByteArray> stems{"VIEW", "PHOTO", "RECIPE", "KAKEI",  "LOGT",   "JIKOKU",
                            "MIDI", "STAR",  "MAP",    "GUIDE",  "PUZZLE", "ADDR",
                            "FMT",  "TRIP",  "KIFU",   "GARDEN", "WALL",   "ARC"};
    QList<QByteArray> textExtensions{".TXT", ".DOC"};
    QList<QByteArray> binaryExtensions{".LZH", ".ZIP", ".GIF", ".MID", ".EXE"};
    QList<QByteArray> people = sjisList({u"佐藤", u"鈴木", u"高橋", u"田中", u"渡辺", u"伊藤",
                                         u"山本", u"中村", u"小林", u"加藤", u"吉田", u"山田"});
    QList<QByteArray> subjects = sjisList({
        u"はじめまして",
        u"Re: 先日の件",
        u"質問です",
        u"お礼",
        u"報告します",
        u"ご案内",
        u"Re: 質問です",
        u"感想",
        u"今月の集まり",
        u"お久しぶりです",
    });
    QList<QByteArray> sentences = sjisList({
        u"いつも楽しく読ませていただいています。",
        u"先日の集まりではお世話になりました。",
        u"この件について、詳しい方がいらしたら教えてください。",
        u"ライブラリィに新しい版を登録しました。",
        u"私も同じところで迷いました。説明書の三章が参考になります。",
        u"来月の集まりは第二土曜日の午後にしようと思います。",
        u"写真は後日ライブラリィに上げておきます。",
        u"皆さんのご意見をお聞かせください。",
        u"週末は天気が良さそうなので出かけてきます。",
        u"お返事が遅くなってすみません。",
        u"なるほど、そういう手もありましたか。",
        u"では、また。",
    });
    struct Notice {
        QByteArray title;
        QList<QByteArray> body;
    };
    QList<Notice> notices{
        {sjis(u"年末年始のサポート窓口について"),
         sjisList({u"12月29日から1月3日まで、電話窓口はお休みします。",
                   u"電子メールでのお問い合わせは期間中も受け付けます。"})},
        {sjis(u"アクセスポイント追加のお知らせ"),
         sjisList({u"札幌、仙台、広島、福岡に高速アクセスポイントを追加しました。",
                   u"設定の変更方法は、ガイドのフォーラムをご覧ください。"})},
        {sjis(u"料金改定のご案内"), sjisList({u"来年4月より、夜間の接続料金を引き下げます。",
                                              u"詳しくは料金情報でご確認ください。"})},
        {sjis(u"システム保守作業のお知らせ"),
         sjisList({u"毎月第三火曜日の午前2時から6時まで、保守作業を行います。",
                   u"作業中は接続できません。ご了承ください。"})},
        {sjis(u"新フォーラム開設のお知らせ"),
         sjisList({u"山歩きフォーラムを開設しました。", u"登山や散策の話題をお寄せください。"})},
        {sjis(u"パスワード管理のお願い"),
         sjisList({u"パスワードは定期的に変更してください。",
                   u"事務局からパスワードをお尋ねすることはありません。"})},
        {sjis(u"会員規約の一部改定について"),
         sjisList({u"第12条(ライブラリィの利用)を改定しました。",
                   u"改定後の規約は会員ガイドに載せています。"})},
        {sjis(u"オンラインサインアップ受付開始"),
         sjisList({u"ご家族の追加登録をオンラインで受け付けます。"})},
        {sjis(u"電子メール容量の拡大"), sjisList({u"メールボックスの容量を倍にしました。"})},
        {sjis(u"冬休みイベントのご案内"),
         sjisList({u"各フォーラムで冬休みの特別企画を行います。"})},
    };
    struct Patio {
        QByteArray name;
        QByteArray password;
    };
    QList<Patio> patios{
        {sjis(u"高校同窓会"), "sakura77"},       {sjis(u"鉄道写真サークル"), "kiha58"},
        {sjis(u"釣り仲間"), "funa0501"},         {sjis(u"料理研究会"), "dashi2"},
        {sjis(u"プログラム勉強会"), "pascal98"},
    };
};

const Words &words() {
    static const Words w;
    return w;
}

QByteArray rightNumber(qint64 n, int width) {
    return QByteArray::number(n).rightJustified(width, ' ');
}

QByteArray zeroNumber(qint64 n, int width) {
    return QByteArray::number(n).rightJustified(width, '0');
}

// The service's dates lie in the three years before its present.
QDate serviceDate(Rng &rng) {
    return QDate(1996, 1, 1).addDays(rng.below(1096));
}

QByteArray dateBytes(const QDate &date, const QString &format) {
    return date.toString(format).toLatin1();
}

QByteArray memberIdFor(quint64 seed, quint64 who) {
    Rng rng(seed, 0xC0FFEE, who);
    return "GHB" + zeroNumber(rng.below(100000), 5);
}

} // namespace

SimService::SimService(quint64 seed, ServiceSize size) : seed_(seed), size_(size) {
    const Words &w = words();
    // Every topic once, in an order of the seed's; the large service repeats
    // them with a number after each.
    std::array<int, kTopics.size()> order;
    std::iota(order.begin(), order.end(), 0);
    Rng rng(seed, Forums);
    for (int i = int(order.size()) - 1; i > 0; --i)
        std::swap(order[i], order[rng.below(i + 1)]);
    const int count = size == ServiceSize::Large ? 10000 : 12;
    const char separator = QDir::separator().toLatin1();
    names_.reserve(count);
    codes_.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Topic &topic = kTopics[order[i % order.size()]];
        const int round = i / int(order.size());
        const QByteArray suffix = round == 0 ? QByteArray() : QByteArray::number(round + 1);
        names_.append(sjis(topic.name) + w.forum + suffix);
        codes_.append(topic.code + suffix + separator);
        byCode_.insert(codes_.last(), i);
    }
}

QList<QByteArray> SimService::forumListLines() const {
    QList<QByteArray> lines;
    lines.reserve(2 * forumCount());
    for (int i = 0; i < forumCount(); ++i) {
        lines.append(names_[i].leftJustified(40, ' '));
        lines.append(codes_[i]);
    }
    return lines;
}

int SimService::roomCount(int forum) const {
    if (size_ == ServiceSize::Large)
        return 100000;
    return Rng(seed_, RoomCount, forum).between(20, 40);
}

int SimService::libraryCount(int forum) const {
    if (size_ == ServiceSize::Large)
        return 100000;
    return Rng(seed_, LibraryCount, forum).between(5, 15);
}

QList<QByteArray> SimService::roomRows(int forum) const {
    // Number in bytes 1-2, message count up to byte 10, unread count in
    // brackets at bytes 12-17, date at 21-25, title from byte 29.
    const Words &w = words();
    Rng rng(seed_, Rooms, forum);
    const int count = roomCount(forum);
    QList<QByteArray> rows;
    rows.reserve(count);
    for (int n = 1; n <= count; ++n) {
        const int messages = rng.between(10, 3000);
        const QDate date = serviceDate(rng);
        const int unread = rng.below(qMin(messages, 200) + 1);
        QByteArray title = w.rooms[(n - 1) % w.rooms.size()];
        if (n > w.rooms.size())
            title += '(' + QByteArray::number((n - 1) / w.rooms.size() + 1) + ')';
        rows.append(zeroNumber(n, 2) + rightNumber(messages, 8) + " (" + rightNumber(unread, 4) +
                    ")   " + dateBytes(date, QStringLiteral("MM/dd")) + "   " + title);
    }
    return rows;
}

QList<QByteArray> SimService::libraryRows(int forum) const {
    // Number in bytes 1-4, file count up to byte 10, new files in brackets
    // at bytes 13-18, date at 21-25, title from byte 29.
    const Words &w = words();
    Rng rng(seed_, Libraries, forum);
    const int count = libraryCount(forum);
    QList<QByteArray> rows;
    rows.reserve(count);
    for (int n = 1; n <= count; ++n) {
        QByteArray title = w.libraries[(n - 1) % w.libraries.size()];
        if (n > w.libraries.size())
            title += '(' + QByteArray::number((n - 1) / w.libraries.size() + 1) + ')';
        const QDate date = serviceDate(rng);
        const int added = rng.below(10);
        const int files = rng.between(50, 200);
        rows.append(zeroNumber(n, 4) + rightNumber(files, 6) + "  (" + rightNumber(added, 4) +
                    ")  " + dateBytes(date, QStringLiteral("MM/dd")) + "   " + title);
    }
    return rows;
}

QList<QByteArray> SimService::topPage(int forum) const {
    const Words &w = words();
    Rng rng(seed_, Top, forum);
    QList<QByteArray> lines;
    lines.append(sjis(u"■ ") + names_[forum] + sjis(u" へようこそ ■"));
    lines.append(QByteArray());
    const QByteArray &sysop = rng.pick(w.people);
    const QByteArray sysopId = memberIdFor(seed_, rng.next());
    lines.append(sjis(u"シスオペ: ") + sysopId + ' ' + sysop);
    lines.append(sjis(u"会議室 ") + QByteArray::number(roomCount(forum)) +
                 sjis(u"室、ライブラリィ ") + QByteArray::number(libraryCount(forum)) +
                 sjis(u"館でお待ちしています。"));
    lines.append(QByteArray());
    lines.append(sjis(u"今月の話題:"));
    for (int i = 0; i < 3; ++i)
        lines.append(sjis(u"  ・") + rng.pick(w.sentences));
    lines.append(QByteArray());
    lines.append(sjis(u"初めての方は ") + zeroNumber(1 + rng.below(3), 2) +
                 sjis(u"番会議室で自己紹介をどうぞ。"));
    return lines;
}

QList<QByteArray> SimService::roomMessages(int forum, int room) const {
    const Words &w = words();
    Rng rng(seed_, Messages, forum, room);
    QList<QByteArray> lines;
    lines.append(names_[forum] + ' ' + zeroNumber(room, 2) + sjis(u"番会議室"));
    int number = rng.between(1, 2000);
    QDate date = serviceDate(rng);
    for (int m = rng.between(5, 12); m > 0; --m) {
        lines.append(QByteArray());
        const QByteArray &who = rng.pick(w.people);
        const QByteArray id = memberIdFor(seed_, rng.next());
        const int minute = rng.below(60);
        const int hour = rng.below(24);
        lines.append('#' + zeroNumber(number, 6) + "  " +
                     dateBytes(date, QStringLiteral("yy/MM/dd")) + ' ' + zeroNumber(hour, 2) + ':' +
                     zeroNumber(minute, 2) + "  " + id + "  " + who);
        lines.append(sjis(u"題名: ") + rng.pick(w.subjects));
        for (int s = rng.between(1, 3); s > 0; --s)
            lines.append(rng.pick(w.sentences));
        number += rng.between(1, 4);
        date = date.addDays(rng.below(3));
    }
    return lines;
}

QList<LibraryFile> SimService::libraryFiles(int forum, int library) const {
    // Download number in bytes 1-6, date, uploader and size, the file name
    // in bytes 40 to 51, the title after it.
    const Words &w = words();
    Rng rng(seed_, Files, forum, library);
    const int count = size_ == ServiceSize::Large ? 100000 : rng.between(50, 200);
    QList<LibraryFile> files;
    files.reserve(count);
    qint32 number = rng.between(1, 20);
    for (int i = 0; i < count; ++i) {
        LibraryFile file;
        file.number = number;
        file.date = serviceDate(rng);
        file.isText = rng.below(4) == 0;
        const QByteArray &extension = rng.pick(file.isText ? w.textExtensions : w.binaryExtensions);
        // The stems and titles go in pairs, so a file is what its title says.
        const int kind = rng.below(int(w.stems.size()));
        file.name = w.stems[kind] + QByteArray::number(rng.below(100)) + extension;
        const int size = rng.between(800, 900000);
        const QByteArray uploader = memberIdFor(seed_, rng.next());
        file.row = rightNumber(number, 6) + ' ' + dateBytes(file.date, QStringLiteral("yy/MM/dd")) +
                   ' ' + uploader + ' ' + rightNumber(size, 8) + QByteArray(6, ' ') +
                   file.name.leftJustified(12, ' ') + ' ' + w.fileTitles[kind];
        files.append(std::move(file));
        number += rng.between(1, 3);
    }
    return files;
}

QByteArray SimService::fileContent(int forum, int library, const LibraryFile &file) const {
    Rng rng(seed_, Content, forum, quint64(library) << 32 | quint32(file.number));
    if (file.isText) {
        const Words &w = words();
        QByteArray text = file.name + "\r\n\r\n";
        for (int s = rng.between(3, 12); s > 0; --s)
            text += rng.pick(w.sentences) + "\r\n";
        return text;
    }
    QByteArray bytes(rng.between(256, 4096), Qt::Uninitialized);
    for (char &b : bytes)
        b = char(rng.next());
    return bytes;
}

QList<QByteArray> SimService::noticeRows() const {
    // The notices in an order of the seed's, newest first.
    const Words &w = words();
    Rng rng(seed_, Notices);
    QList<QByteArray> rows;
    QDate date(1998, 12, 20);
    const int first = rng.below(int(w.notices.size()));
    for (int i = 0; i < w.notices.size(); ++i) {
        const auto &notice = w.notices[(first + i) % w.notices.size()];
        rows.append(zeroNumber(i + 1, 4) + "  " + dateBytes(date, QStringLiteral("yy/MM/dd")) +
                    "  " + notice.title);
        date = date.addDays(-rng.between(1, 9));
    }
    return rows;
}

std::optional<QList<QByteArray>> SimService::notice(const QByteArray &title) const {
    const Words &w = words();
    for (const QByteArray &row : noticeRows()) {
        if (row.mid(6) != title)
            continue;
        for (const auto &notice : w.notices) {
            if (row.endsWith(notice.title))
                return QList<QByteArray>{title, QByteArray()} + notice.body;
        }
    }
    return std::nullopt;
}

QList<QByteArray> SimService::billLines() const {
    Rng rng(seed_, Bill);
    const int minutes = rng.between(60, 900);
    const int connection = minutes * 10;
    const int forums = 100 * rng.between(0, 5);
    const int total = 1000 + connection + forums;
    auto yen = [](int amount) { return rightNumber(amount, 8) + sjis(u"円"); };
    return {
        sjis(u"ご利用料金のお知らせ (98年11月分)"),
        QByteArray(),
        sjis(u"会員ＩＤ        ") + memberId(),
        sjis(u"基本料金          ") + yen(1000),
        sjis(u"接続料金 (") + rightNumber(minutes, 4) + sjis(u"分)") + yen(connection),
        sjis(u"フォーラム料金    ") + yen(forums),
        sjis(u"合計              ") + yen(total),
        QByteArray(),
        sjis(u"ご利用料金は毎月10日に締め切ります。"),
    };
}

QList<QByteArray> SimService::warningLines() const {
    Rng rng(seed_, Warnings);
    QList<QByteArray> lines{memberId() + sjis(u" 様")};
    const QList<QByteArray> all = sjisList({
        u"パスワードを長い間変更していません。変更をお勧めします。",
        u"メールボックスの使用量が八割を超えています。",
        u"未読のメールが30通を超えています。",
        u"登録されたクレジットカードの有効期限が近づいています。",
    });
    const int first = rng.below(int(all.size()));
    for (int i = rng.between(1, 2); i > 0; --i)
        lines.append(all[(first + i) % all.size()]);
    return lines;
}

QList<PatioRecord> SimService::patios() const {
    const Words &w = words();
    Rng rng(seed_, Patios);
    const int first = rng.below(int(w.patios.size()));
    QList<PatioRecord> records;
    for (int i = 0; i < 3; ++i) {
        const auto &patio = w.patios[(first + i) % w.patios.size()];
        records.append({patio.name, "PAT" + zeroNumber(rng.below(100000), 5), patio.password});
    }
    return records;
}

int SimService::patioIndex(const QByteArray &id) const {
    const QList<PatioRecord> records = patios();
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].id == id)
            return i;
    }
    return -1;
}

QList<QByteArray> SimService::patioMessages(int patio) const {
    const Words &w = words();
    Rng rng(seed_, Patios, Messages, patio);
    QList<QByteArray> lines{patios().at(patio).name + sjis(u" パティオ")};
    QDate date = serviceDate(rng);
    for (int m = rng.between(3, 8); m > 0; --m) {
        lines.append(QByteArray());
        const QByteArray &who = rng.pick(w.people);
        const QByteArray id = memberIdFor(seed_, rng.next());
        lines.append(dateBytes(date, QStringLiteral("yy/MM/dd")) + "  " + id + "  " + who);
        lines.append(rng.pick(w.sentences));
        date = date.addDays(rng.below(5));
    }
    return lines;
}

QByteArray SimService::memberId() const {
    return memberIdFor(seed_, 0);
}

} // namespace kirano::autopilot
