#pragma once

#include <string>

#include <QString>

namespace qx {

// A script file as the editor holds it: its text, and how the file stored it
// so that saving writes it back the same way. The script language reads
// bytes; files written by today's editors are UTF-8, older ones a one-byte
// code page, kept byte for byte.
class TScriptText {
public:
    enum class TEncoding { Utf8, Latin1 };

    // Scripts larger than this are not opened: no one writes them by hand.
    static constexpr qsizetype MaxFileBytes = 8 * 1024 * 1024;

    QString Text;                         // lines joined with "\n"
    TEncoding Encoding = TEncoding::Utf8;
    bool CrLf = false;                    // the file ended its lines with CR LF

    // UTF-8 when the bytes are valid UTF-8 (a leading byte order mark is
    // dropped), otherwise one character per byte.
    static TScriptText Decode(const std::string& bytes);
    // The bytes of `text` in this file's encoding and line ends. Text that
    // a one-byte file cannot hold is written as UTF-8 (and Encoding says so).
    std::string Encode(const QString& text);
    // The bytes the script language compiles: this encoding, "\n" line ends,
    // so that error positions map back onto the editor's text.
    std::string CompileBytes(const QString& text) const;

    // The characters to select for an error at a 1-based byte position of
    // CompileBytes(text): the character holding that byte, clamped to the
    // text (a position before it selects the first character, one beyond it
    // the last). Start and length count the editor's characters, a
    // character outside the basic plane as the two it takes there. An empty
    // text selects nothing at 0.
    struct TSelection {
        int Start = 0;
        int Length = 0;
    };
    TSelection ErrorSelection(const QString& text, long long bytePosition) const;
};

// Why a file name cannot be used for a script, or empty when it can. The
// name (without its folder) travels inside game and lobby texts, so ";",
// "|", a leading "~" and control characters are refused, as is an empty
// name.
QString ScriptFileNameProblem(const QString& fileName);

} // namespace qx
