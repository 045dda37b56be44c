// libFuzzer target for the HTML table paste: any bytes, header or not, read without a crash, a
// hang or a read past the data, every cell lands inside the limits, and the cells' texts decode.
// Built and run by scripts/fuzz-paste.sh.
#include "text/HtmlGridParser.h"
#include "text/HtmlText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool values = data[0] & 1;
    const QByteArray html(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    THTMLGridParser parser(true, values);
    parser.SetLimits(40, 200);
    parser.OnCell = [&](qint32 col, qint32 row, const QByteArray& text) {
        if (col < 2 || col >= 42 || row < 3 || row >= 203)
            abort();
        (void)DecodeHTML(QString::fromUtf8(text));
    };
    parser.Parse(html, 2, 3);
    if (parser.StartFragment() < 0 || parser.StartFragment() > parser.EndFragment()
        || parser.EndFragment() > html.size())
        abort();
    return 0;
}
