#pragma once

#include <QByteArray>
#include <QString>

class TRecordedPage;

// Writes a recorded page as an enhanced metafile (the Windows EMF format): the reference
// device is the page itself at 1200 pixels per inch, so one page unit is one device pixel
// and the frame is the page's size in hundredths of a millimetre. Lines become pen moves
// and lines, each text line one wide-character text output with its character advances,
// so other programs place every glyph where the page had it.
class TEmfWriter {
public:
    static QByteArray PageToEmf(const TRecordedPage& page, const QString& description = QString());
    // False with a message when the file cannot be written; an existing file is replaced
    // only once the new one is complete.
    static bool Save(const TRecordedPage& page, const QString& fileName,
                     const QString& description, QString* error = nullptr);
};

// Record types of the format that the writer uses.
enum TEmfRecordType : quint32 {
    emrHeader = 1,
    emrEof = 14,
    emrSetMapMode = 17,
    emrSetBkMode = 18,
    emrSetTextAlign = 22,
    emrSetTextColor = 24,
    emrMoveToEx = 27,
    emrSelectObject = 37,
    emrCreatePen = 38,
    emrDeleteObject = 40,
    emrLineTo = 54,
    emrExtCreateFontIndirectW = 82,
    emrExtTextOutW = 84,
};
