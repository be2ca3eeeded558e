// Captured list files with their date line: the rows and the panel, read from
// a file; written back they read the same.
#include "fuzzsupport.h"
#include "store/capturedfiles.h"
#include "text/lines.h"
#include "text/numbers.h"

using namespace kirano;
using kirano::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray content = fuzz::input(data, size);
    const CapturedRows captured = loadCapturedRows(fuzz::writeScratch("mes.txt", content));
    const QList<QByteArray> lines = text::splitLines(content);

    const bool dated = !lines.isEmpty() && text::isDateLine(lines.last());
    if (dated) {
        check(captured.datePanel == QByteArray(5, ' ') + lines.last(), "the date line's panel");
        check(captured.rows == lines.first(lines.size() - 1), "rows are the lines before it");
    } else {
        check(captured.datePanel == placeholderPanel(), "no date line: the placeholder");
        check(captured.rows == lines, "rows are the lines");
    }
    const CapturedRows chooser = splitDateLine(lines, 4);
    check(chooser.rows == captured.rows && chooser.datePanel.mid(4) == captured.datePanel.mid(5),
          "the chooser's panel is the same after four blanks");

    QList<QByteArray> written = captured.rows;
    if (dated)
        written << lines.last();
    const CapturedRows again =
        loadCapturedRows(fuzz::writeScratch("copy.txt", text::joinCrLf(written)));
    check(again.rows == captured.rows && again.datePanel == captured.datePanel,
          "written rows read back the same");
    return 0;
}
