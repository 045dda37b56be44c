// libFuzzer target for the tab-separated text paste: any bytes read without a crash, a hang or
// a read past the data; every field is delivered once at most, never holds a zero byte, and holds
// a separator or a line break only where a quote put it there. Built and run by
// scripts/fuzz-paste.sh.
#include "text/TabGridParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    TTabGridParser parser('\t');
    parser.SetLimits(1000, 1000);
    const bool quoted = text.contains('"');
    qint64 delivered = 0;
    parser.OnCell = [&](qint32 col, qint32 row, const QByteArray& field) {
        if (col < 0 || row < 0 || col >= 1000 || row >= 1000)
            abort();
        if (field.contains('\0'))
            abort();
        if (!quoted && (field.contains('\t') || field.contains('\r') || field.contains('\n')))
            abort();
        ++delivered;
    };
    parser.Parse(text, 0, 0);
    if (delivered > parser.CellCount() || parser.CellCount() > qint64(size) + 1)
        abort();
    return 0;
}
