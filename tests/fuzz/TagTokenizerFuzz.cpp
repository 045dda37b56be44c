// libFuzzer target for the tag tokenizer: any bytes tokenize without a crash, a hang or a read
// past the data, and every tag's options are there while the tag is reported. Built and run by
// scripts/fuzz-paste.sh.
#include "text/XmlParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TXMLParser parser;
    size_t events = 0;
    parser.OnText = [&](const QByteArray& s) {
        if (s.isEmpty())
            abort();
        ++events;
    };
    parser.OnOption = [&](const QByteArray& name, const QByteArray&) {
        if (name.isEmpty())
            abort();
        ++events;
    };
    parser.OnTag = [&](const QByteArray& name, TTagKind) {
        if (name.isEmpty() || name != parser.Tag())
            abort();
        for (const TNameValue& option : parser.TagOptions())
            if (parser.Option(option.Name.toLower()).isNull() && !option.Value.isNull())
                abort();
        ++events;
    };
    parser.Parse(reinterpret_cast<const char*>(data), qsizetype(size));
    // Each event takes at least one byte of the input.
    if (events > size)
        abort();
    return 0;
}
