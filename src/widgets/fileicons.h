#pragma once
#include <QFileIconProvider>

namespace kirano {

// Icons and types of the files a folder view lists, from their names alone.
// Qt's own provider opens every file whose name does not tell its type and
// reads its start, on the window's thread: a file that never ends
// (/proc/kmsg) or a stalled mount would then stop the window for good, and a
// watched folder would be read again and again. A name never blocks.
class NameOnlyIconProvider : public QFileIconProvider {
  public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

// The one provider of the program's folder views; it lives as long as the
// program.
NameOnlyIconProvider *nameOnlyIcons();

} // namespace kirano
