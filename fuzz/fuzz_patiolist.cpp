// The patio list: written records read back the same, and a written file
// saves back byte for byte.
#include "fuzzsupport.h"
#include "store/patiofile.h"

using namespace kirano;
using kirano::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString path = fuzz::writeScratch("patiolist.txt", fuzz::input(data, size));
    const text::Result<QList<PatioRecord>> records = readPatioList(path);
    check(records.has_value(), "a regular file reads");
    for (const PatioRecord &record : *records)
        check(!record.name.contains('\r') && !record.id.contains('\r') &&
                  !record.password.contains('\r') && !record.name.contains('\x1a'),
              "no field holds a CR or 0x1A");
    if (records->isEmpty())
        return 0; // the editor deletes the file instead of writing it

    const QString copy = fuzz::scratchPath("copy.txt");
    check(writePatioList(copy, *records).has_value(), "the list writes");
    const text::Result<QList<PatioRecord>> again = readPatioList(copy);
    check(again && *again == *records, "written records read back the same");
    const QString second = fuzz::scratchPath("second.txt");
    check(writePatioList(second, *again).has_value(), "the list writes again");
    check(fuzz::readScratch(second) == fuzz::readScratch(copy),
          "a written file saves back byte for byte");
    return 0;
}
