#pragma once
// The map of the data folder: every file Kirano or the autopilot reads or
// writes there, each name written once, here. Paths are bytes, the folder
// (a plain prefix, as the settings hold it) and the name; convert them with
// text::nativePath at the file system.

#include <QByteArray>
#include <QtGlobal>

namespace kirano {

class DataFolder {
  public:
    explicit DataFolder(QByteArray folder) : folder_(std::move(folder)) {}

    // The forums the member belongs to, two lines each (name, code).
    QByteArray forumList() const;
    // A forum's own files start with its code, which ends in a separator:
    // the forum's sub-folder.
    QByteArray forumFolder(const QByteArray &forumCode) const;
    QByteArray rooms(const QByteArray &forumCode) const;
    QByteArray libraries(const QByteArray &forumCode) const;
    QByteArray topPage(const QByteArray &forumCode) const;
    // The file list of one library, named by the number's decimal form.
    QByteArray libraryFiles(const QByteArray &forumCode, qint32 library) const;
    QByteArray notices() const;
    QByteArray fees() const;
    QByteArray warnings() const;
    // Written by Kirano: the titles of the notices the notice-reading
    // command reads.
    QByteArray noticeSelection() const;
    // Written by Kirano's patio editor: name, ID and password of each patio.
    QByteArray patioList() const;

  private:
    QByteArray folder_;
};

// The autopilot's run record, in the autopilot folder: what was posted, sent
// and set, and every report line, run after run.
QByteArray runRecord(const QByteArray &autopilotFolder);
// Beside the run record while a run appends to it. Left there, it tells the
// next run that the append before was cut short by the end of its program.
QByteArray runRecordMark(const QByteArray &autopilotFolder);

} // namespace kirano
