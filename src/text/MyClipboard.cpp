#include "text/MyClipboard.h"

#include <QIODevice>
#include <QMimeData>
#include <QStringDecoder>

const QString TMyClipboard::UnicodeTextMime = QStringLiteral("application/x-veskor-unicode-text");
const QString TMyClipboard::HtmlFormatMime = QStringLiteral("application/x-veskor-html-format");
const QString TMyClipboard::QxfFormatMime = QStringLiteral("application/x-veskor-qxfv-format");

namespace {

const QString PlainMime = QStringLiteral("text/plain");
const QString HtmlMime = QStringLiteral("text/html");

QByteArray UpToZero(const QByteArray& B)
{
    const qsizetype Z = B.indexOf('\0');
    return Z < 0 ? B : B.left(Z);
}

// Some programs offer their HTML in UTF-16, with or without a byte-order
// mark; cut at the first zero byte it would be a lone "<". Anything else is
// taken for the UTF-8 the HTML reader expects.
QByteArray HtmlAsUtf8(const QByteArray& B)
{
    const auto Byte = [&](qsizetype I) { return quint8(B[I]); };
    const auto Decode = [](QStringDecoder::Encoding E, const QByteArray& Bytes) {
        QStringDecoder Decoder(E);
        const QString Text = Decoder(Bytes);
        return Text.toUtf8();
    };
    if (B.size() < 2)
        return B;
    if (Byte(0) == 0xFF && Byte(1) == 0xFE)
        return Decode(QStringDecoder::Utf16LE, B.mid(2));
    if (Byte(0) == 0xFE && Byte(1) == 0xFF)
        return Decode(QStringDecoder::Utf16BE, B.mid(2));
    if (Byte(0) != 0 && Byte(1) == 0)
        return Decode(QStringDecoder::Utf16LE, B);
    return B;
}

}

TMyClipboard::TMyClipboard(IPlatformClipboard* Platform)
    : fPlatform(Platform)
{
}

TMyClipboard::~TMyClipboard() = default;

TMyClipboard& TMyClipboard::Instance()
{
    static TMyClipboard C;
    return C;
}

void TMyClipboard::Open()
{
    if (fOpenCount == 0 && !fPlatform)
        throw EClipboardError(QStringLiteral("Не удаётся открыть буфер обмена"));
    ++fOpenCount;
}

void TMyClipboard::Close()
{
    if (fOpenCount == 0)
        return;
    if (--fOpenCount > 0)
        return;
    std::unique_ptr<QMimeData> Data = std::move(fPending);
    if (Data && fPlatform)
        fPlatform->SetData(Data.release());
}

void TMyClipboard::CloseQuietly() noexcept
{
    try {
        Close();
    } catch (...) {
    }
}

QMimeData& TMyClipboard::Pending()
{
    if (!fPending) {
        // Writes add to what is there unless the bracket cleared it first.
        fPending = std::make_unique<QMimeData>();
        if (const QMimeData* D = fPlatform ? fPlatform->Data() : nullptr)
            for (const QString& F : D->formats())
                fPending->setData(F, D->data(F));
    }
    return *fPending;
}

const QMimeData* TMyClipboard::Current() const
{
    if (fPending)
        return fPending.get();
    return fPlatform ? fPlatform->Data() : nullptr;
}

void TMyClipboard::Clear()
{
    TClipboardBracket B(*this);
    fPending = std::make_unique<QMimeData>();
}

void TMyClipboard::SetBuffer(const QString& Mime, const QByteArray& Bytes)
{
    TClipboardBracket B(*this);
    Pending().setData(Mime, Bytes);
}

QByteArray TMyClipboard::GetBuffer(const QString& Mime) const
{
    const QMimeData* D = Current();
    return D && D->hasFormat(Mime) ? D->data(Mime) : QByteArray();
}

bool TMyClipboard::HasFormat(const QString& Mime) const
{
    const QMimeData* D = Current();
    return D && D->hasFormat(Mime);
}

int TMyClipboard::FormatCount() const
{
    const QMimeData* D = Current();
    return D ? int(D->formats().size()) : 0;
}

QString TMyClipboard::AsText() const
{
    return QString::fromUtf8(UpToZero(GetBuffer(PlainMime)));
}

QString TMyClipboard::AsWideText() const
{
    TClipboardBracket B(const_cast<TMyClipboard&>(*this));
    if (HasFormat(UnicodeTextMime)) {
        const QByteArray Bytes = GetBuffer(UnicodeTextMime);
        // Whole code units only, up to the first zero one: an odd or
        // unterminated block is read no further than it goes.
        QString Result;
        for (qsizetype I = 0; I + 1 < Bytes.size(); I += 2) {
            const char16_t U = char16_t(quint8(Bytes[I]) | (quint8(Bytes[I + 1]) << 8));
            if (U == 0)
                break;
            Result += QChar(U);
        }
        return Result;
    }
    return AsText();
}

void TMyClipboard::SetAsWideText(const QString& Value)
{
    TClipboardBracket B(*this);
    QByteArray Bytes;
    Bytes.reserve((Value.size() + 1) * 2);
    for (QChar C : Value) {
        Bytes.append(char(C.unicode() & 0xFF));
        Bytes.append(char(C.unicode() >> 8));
    }
    Bytes.append('\0');
    Bytes.append('\0');
    SetBuffer(UnicodeTextMime, Bytes);
    // Other programs of this desktop read plain text as UTF-8.
    SetBuffer(PlainMime, Value.toUtf8());
}

QByteArray TMyClipboard::HtmlHeader(qsizetype BodyBytes)
{
    return QStringLiteral("Version:0.9\r\nStartHTML:%1\r\nEndHTML:%2\r\n")
        .arg(HtmlHeaderLength, 4, 10, QLatin1Char('0'))
        .arg(qint64(HtmlHeaderLength + BodyBytes), 9, 10, QLatin1Char('0'))
        .toLatin1();
}

QByteArray TMyClipboard::AsHTML() const
{
    TClipboardBracket B(const_cast<TMyClipboard&>(*this));
    if (HasFormat(HtmlFormatMime))
        return UpToZero(GetBuffer(HtmlFormatMime));
    return UpToZero(HtmlAsUtf8(GetBuffer(HtmlMime)));
}

void TMyClipboard::SetAsHTML(const QByteArray& Value)
{
    TClipboardBracket B(*this);
    SetBuffer(HtmlFormatMime, HtmlHeader(Value.size()) + Value);
    SetBuffer(HtmlMime, Value);
}

QByteArray TMyClipboard::AsQXF() const
{
    TClipboardBracket B(const_cast<TMyClipboard&>(*this));
    return UpToZero(GetBuffer(QxfFormatMime));
}

void TMyClipboard::SetAsQXF(const QByteArray& Value)
{
    SetBuffer(QxfFormatMime, Value);
}

void TMyClipboard::SetFormat(const QString& Mime, QIODevice& Stream)
{
    TClipboardBracket B(*this);
    Stream.seek(0);
    SetBuffer(Mime, Stream.readAll());
}

void TMyClipboard::GetFormat(const QString& Mime, QIODevice& Stream) const
{
    TClipboardBracket B(const_cast<TMyClipboard&>(*this));
    if (!HasFormat(Mime))
        return;
    const QByteArray Bytes = GetBuffer(Mime);
    Stream.seek(0);
    Stream.write(Bytes);
}

void ClipboardCopyText(const QString& Text)
{
    TMyClipboard& C = TMyClipboard::Instance();
    TClipboardBracket B(C);
    C.Clear();
    C.SetAsWideText(Text);
}

void ClipboardCopy(const QByteArray& Html, const QString& Text)
{
    TMyClipboard& C = TMyClipboard::Instance();
    TClipboardBracket B(C);
    C.Clear();
    C.SetAsHTML(Html);
    C.SetAsWideText(Text);
}

bool ClipboardHasData()
{
    try {
        return TMyClipboard::Instance().HasData();
    } catch (const EClipboardError&) {
        return false;
    }
}
