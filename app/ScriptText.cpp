#include "app/ScriptText.h"

#include <algorithm>

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace qx {

namespace {

// How many bytes one code point takes in the file's encoding.
int EncodedSize(char32_t code, TScriptText::TEncoding encoding) {
    if (encoding == TScriptText::TEncoding::Latin1) return 1;
    if (code < 0x80) return 1;
    if (code < 0x800) return 2;
    if (code < 0x10000) return 3;
    return 4;
}

QString WithLf(QString text) {
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

} // namespace

TScriptText TScriptText::Decode(const std::string& bytes) {
    TScriptText script;
    QByteArray data = QByteArray::fromStdString(bytes);
    script.CrLf = data.contains("\r\n");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        text = QString::fromLatin1(data);
        script.Encoding = TEncoding::Latin1;
    } else {
        if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
        script.Encoding = TEncoding::Utf8;
    }
    script.Text = WithLf(text);
    return script;
}

std::string TScriptText::Encode(const QString& text) {
    QString lines = WithLf(text);
    if (CrLf) lines.replace("\n", "\r\n");
    if (Encoding == TEncoding::Latin1) {
        const bool fits = std::all_of(lines.cbegin(), lines.cend(), [](QChar c) { return c.unicode() < 256; });
        if (fits) return lines.toLatin1().toStdString();
        Encoding = TEncoding::Utf8;
    }
    return lines.toUtf8().toStdString();
}

std::string TScriptText::CompileBytes(const QString& text) const {
    const QString lines = WithLf(text);
    if (Encoding == TEncoding::Latin1) {
        // Characters a one-byte file cannot hold stand as "?" (one byte, so
        // positions still line up); saving would write the file as UTF-8.
        std::string bytes;
        bytes.reserve(static_cast<size_t>(lines.size()));
        for (QChar c : lines) bytes += c.unicode() < 256 ? static_cast<char>(c.unicode()) : '?';
        return bytes;
    }
    // UTF-8 by hand, so that every character's bytes are the ones
    // ErrorSelection counts: half a surrogate pair stands as "?".
    std::string bytes;
    bytes.reserve(static_cast<size_t>(lines.size()) + 16);
    const auto size = static_cast<int>(lines.size());
    for (int i = 0; i < size; ++i) {
        char32_t code = lines[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < size && lines[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(lines[i], lines[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(code)) {
            code = '?';
        }
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

TScriptText::TSelection TScriptText::ErrorSelection(const QString& text, long long bytePosition) const {
    TSelection selection;
    if (text.isEmpty()) return selection;
    // The error's byte, counted from 0, and the byte offset of each character.
    const long long target = std::max(0LL, bytePosition - 1);
    long long offset = 0;
    int last = 0;
    const auto size = static_cast<int>(text.size());
    for (int i = 0; i < size;) {
        const QChar c = text[i];
        int units = 1;
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            units = 2;
        } else if (c.isSurrogate()) {
            code = '?';  // as CompileBytes writes it
        }
        const int bytes = EncodedSize(code, Encoding);
        if (target < offset + bytes) return {i, units};
        offset += bytes;
        last = i;
        i += units;
    }
    // Beyond the end: the last character.
    selection.Start = last;
    selection.Length = size - last;
    return selection;
}

QString ScriptFileNameProblem(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    if (name.isEmpty()) return "Please enter a file name.";
    const bool control = std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 32 || c.unicode() == 127 || c.category() == QChar::Other_Control;
    });
    if (control || name.contains(';') || name.contains('|') || name.startsWith('~'))
        return QString("The file name \"%1\" cannot be used: script file names may not contain \";\", \"|\" "
                       "or control characters, nor begin with \"~\".")
            .arg(QString(name).replace(QRegularExpression("[\\x00-\\x1f\\x7f]"), "?"));
    return {};
}

} // namespace qx
