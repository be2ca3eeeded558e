#include "store/datafolder.h"
#include "text/numbers.h"
#include "text/sjis.h"

namespace kirano {

QByteArray DataFolder::forumList() const {
    return folder_ + "forumlist.txt";
}

QByteArray DataFolder::forumFolder(const QByteArray &forumCode) const {
    return folder_ + forumCode;
}

QByteArray DataFolder::rooms(const QByteArray &forumCode) const {
    return forumFolder(forumCode) + "mes.txt";
}

QByteArray DataFolder::libraries(const QByteArray &forumCode) const {
    return forumFolder(forumCode) + "dl.txt";
}

QByteArray DataFolder::topPage(const QByteArray &forumCode) const {
    return forumFolder(forumCode) + "top.txt";
}

QByteArray DataFolder::libraryFiles(const QByteArray &forumCode, qint32 library) const {
    return forumFolder(forumCode) + "dl" + text::decimal(library) + ".txt";
}

QByteArray DataFolder::notices() const {
    return folder_ + "new.txt";
}

QByteArray DataFolder::fees() const {
    return folder_ + "bill.txt";
}

QByteArray DataFolder::warnings() const {
    static const QByteArray name = text::bytesOf(u"警告.txt");
    return folder_ + name;
}

QByteArray DataFolder::noticeSelection() const {
    return folder_ + "Newtitle.txt";
}

QByteArray DataFolder::patioList() const {
    return folder_ + "patiolist.txt";
}

QByteArray runRecord(const QByteArray &autopilotFolder) {
    static const QByteArray name = text::bytesOf(u"巡回記録.txt");
    return autopilotFolder + name;
}

QByteArray runRecordMark(const QByteArray &autopilotFolder) {
    static const QByteArray name = text::bytesOf(u"巡回記録.txt.書き込み中");
    return autopilotFolder + name;
}

} // namespace kirano
