#pragma once
// The online service the stand-in autopilot runs against: forums with
// conference rooms and libraries, notices, fees, warnings and patios, all
// made up from a seed. The same seed always gives the same service; nothing
// is kept between calls, so a forum's rooms are made only when asked for.

#include "store/patiofile.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <optional>

namespace kirano::autopilot {

// The default service is small enough to capture whole in a moment; the
// large one is for measuring: 10 000 forums, and 100 000 rooms, libraries
// and library files wherever a forum or library is visited.
enum class ServiceSize { Default, Large };

struct LibraryFile {
    qint32 number = 0; // the download number
    QDate date;        // when it was uploaded
    QByteArray name;   // at most 12 bytes, as stored in bytes 40 to 51 of its row
    QByteArray row;    // its line in the library file list
    bool isText = false;
};

class SimService {
  public:
    explicit SimService(quint64 seed = 1, ServiceSize size = ServiceSize::Default);

    quint64 seed() const { return seed_; }
    ServiceSize size() const { return size_; }

    // The member's forums, in the service's order.
    int forumCount() const { return int(codes_.size()); }
    QByteArray forumName(int forum) const { return names_.at(forum); }
    QByteArray forumCode(int forum) const { return codes_.at(forum); }
    // -1 when the service has no forum of that code.
    int forumIndex(const QByteArray &code) const { return byCode_.value(code, -1); }
    // The forum list: each name filled to 40 bytes, then the code.
    QList<QByteArray> forumListLines() const;

    // Rooms and libraries are numbered from 1.
    int roomCount(int forum) const;
    int libraryCount(int forum) const;
    // What DataFolder's rooms, libraries and topPage hold.
    QList<QByteArray> roomRows(int forum) const;
    QList<QByteArray> libraryRows(int forum) const;
    QList<QByteArray> topPage(int forum) const;
    QList<QByteArray> roomMessages(int forum, int room) const;
    QList<LibraryFile> libraryFiles(int forum, int library) const;
    QByteArray fileContent(int forum, int library, const LibraryFile &file) const;

    // The notices: each row is a 6-byte number column, then the title that
    // the notice selection holds for it.
    QList<QByteArray> noticeRows() const;
    // The text of the notice whose title (a row less its first 6 bytes) is
    // given; nothing when there is none.
    std::optional<QList<QByteArray>> notice(const QByteArray &title) const;
    QList<QByteArray> billLines() const;    // the fees
    QList<QByteArray> warningLines() const; // the warnings

    QList<PatioRecord> patios() const;
    // -1 when the service has no patio of that ID.
    int patioIndex(const QByteArray &id) const;
    QList<QByteArray> patioMessages(int patio) const;

    QByteArray memberId() const;

  private:
    quint64 seed_;
    ServiceSize size_;
    QList<QByteArray> names_;
    QList<QByteArray> codes_;
    QHash<QByteArray, int> byCode_;
};

} // namespace kirano::autopilot
