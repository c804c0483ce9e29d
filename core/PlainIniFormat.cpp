#include "PlainIniFormat.h"

#include <QIODevice>
#include <QMap>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

// The syntax below is Qt's INI syntax, rule for rule, so that a file reads as it always did.

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int octValue(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// The next logical line from `pos`: a quoted part may span line ends, a backslash escapes the line
// end after it, a line starting with ';' is a comment. `equalsPos` is the first unquoted '='.
bool nextLine(QByteArrayView data, qsizetype& pos, qsizetype& lineStart, qsizetype& lineLen,
              qsizetype& equalsPos) {
    const qsizetype size = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = pos;
    while (lineStart < size && isSpace(data[lineStart]))
        ++lineStart;
    qsizetype i = lineStart;
    while (i < size) {
        const char ch = data[i++];
        if (!isSpecial(ch))
            continue;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char next = data[i++];
                if (i < size && ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == lineStart + 1) { // ';' opening a comment line
            while (i < size && data[i] != '\n' && data[i] != '\r')
                ++i;
            while (i < size && isSpace(data[i]))
                ++i;
            lineStart = i;
        } else if (!inQuotes) {
            --i;
            break;
        }
    }
    pos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

// A section or key name: UTF-8, '\' for '/', %XX and %UXXXX for other characters.
QString unescapedKey(QByteArrayView key) {
    const QString decoded = QString::fromUtf8(key);
    QString result;
    qsizetype i = 0;
    while (i < decoded.size()) {
        const QChar ch = decoded[i];
        if (ch == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (ch != u'%' || i == decoded.size() - 1) {
            result += ch;
            ++i;
            continue;
        }
        int digits = 2;
        qsizetype first = i + 1;
        if (decoded[first] == u'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const ushort code = first + digits > decoded.size()
                                ? 0
                                : QStringView(decoded).sliced(first, digits).toUShort(&ok, 16);
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

void chopTrailingBlanks(QString& text, qsizetype limit) {
    while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
}

// A value as text, or as a list when it holds a comma outside quotes. Quotes group, C escapes
// (\n, \x41, \101, ...) give characters, blanks around unquoted parts are dropped.
QStringList unescapedValue(QByteArrayView str, bool& isList) {
    static constexpr char ESCAPES[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                          {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                          {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    enum class State { SkipBlanks, Normal, Hex, Oct, End };
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    QStringList list;
    QString text;
    bool inQuotes = false;
    bool quoted = false;
    char16_t escape = 0;
    qsizetype chopLimit = 0;
    qsizetype i = 0;
    isList = false;
    State state = State::SkipBlanks;
    const auto normal = [&] {
        chopLimit = text.size();
        state = State::Normal;
    };
    while (state != State::End) {
        if (state == State::SkipBlanks) {
            while (i < str.size() && (str[i] == ' ' || str[i] == '\t'))
                ++i;
            normal();
        } else if (state == State::Hex || state == State::Oct) {
            const int digit =
                i < str.size() ? (state == State::Hex ? hexValue(str[i]) : octValue(str[i])) : -1;
            if (digit >= 0) {
                escape = char16_t((escape << (state == State::Hex ? 4 : 3)) + digit);
                ++i;
            } else {
                text += QChar(escape);
                if (i >= str.size())
                    state = State::End;
                else
                    normal();
            }
        } else if (i >= str.size()) {
            if (!quoted)
                chopTrailingBlanks(text, chopLimit);
            state = State::End;
        } else if (str[i] == '\\') {
            if (++i >= str.size()) {
                state = State::End;
                continue;
            }
            const char ch = str[i++];
            const auto known = std::find_if(std::begin(ESCAPES), std::end(ESCAPES),
                                            [ch](const char* e) { return e[0] == ch; });
            if (known != std::end(ESCAPES)) {
                text += QLatin1Char((*known)[1]);
                normal();
                continue;
            }
            if (ch == 'x') {
                escape = 0;
                if (i >= str.size()) {
                    state = State::End;
                    continue;
                }
                if (hexValue(str[i]) >= 0) {
                    state = State::Hex;
                    continue;
                }
            } else if (octValue(ch) >= 0) {
                escape = char16_t(octValue(ch));
                state = State::Oct;
                continue;
            } else if ((ch == '\n' || ch == '\r') && i < str.size() && (str[i] == '\n' || str[i] == '\r') &&
                       str[i] != ch) {
                ++i;
            }
            chopLimit = text.size();
        } else if (str[i] == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                state = State::SkipBlanks;
        } else if (str[i] == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingBlanks(text, chopLimit);
            isList = true;
            list.append(text);
            text.clear();
            quoted = false;
            ++i;
            state = State::SkipBlanks;
        } else {
            qsizetype j = i + 1;
            while (j < str.size() && str[j] != '\\' && str[j] != '"' && str[j] != ',')
                ++j;
            text += fromUtf8(str.sliced(i, j - i));
            i = j;
        }
    }
    list.append(text);
    return list;
}

// A stored text as the application means it; none for a serialised object ("@Variant(...)" and
// the like), which this application never writes.
std::optional<QString> plainText(const QString& stored) {
    if (!stored.startsWith(u'@'))
        return stored;
    if (stored.startsWith(QLatin1String("@@")))
        return stored.sliced(1);
    // How Qt's writer stores a text that holds a NUL.
    if (stored.startsWith(QLatin1String("@String(")) && stored.endsWith(u')'))
        return stored.sliced(8).chopped(1);
    return std::nullopt;
}

// The key=value lines of one section, in file order.
void readSection(const QString& prefix, QByteArrayView data, QSettings::SettingsMap& map) {
    qsizetype pos = 0;
    qsizetype lineStart = 0;
    qsizetype lineLen = 0;
    qsizetype equalsPos = -1;
    while (nextLine(data, pos, lineStart, lineLen, equalsPos)) {
        if (equalsPos == -1)
            continue;
        const QByteArrayView line = data.sliced(lineStart, lineLen);
        const QString key = prefix + unescapedKey(line.first(equalsPos - lineStart).trimmed());
        bool isList = false;
        const QStringList stored = unescapedValue(line.sliced(equalsPos - lineStart + 1), isList);
        QStringList texts;
        for (const QString& text : stored) {
            const std::optional<QString> plain = plainText(text);
            if (!plain)
                break;
            texts.append(*plain);
        }
        // A serialised object is ignored like a line that is not there.
        if (texts.size() != stored.size())
            continue;
        if (isList)
            map.insert(key, texts);
        else
            map.insert(key, texts.front());
    }
}

void escapedKey(const QString& key, QByteArray& out) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    for (const QChar qch : key) {
        uint ch = qch.unicode();
        if (ch == '/') {
            out += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                   ch == '_' || ch == '-' || ch == '.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += HEX[ch / 16];
            out += HEX[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += HEX[(ch >> shift) & 0xF];
        }
    }
}

void escapedText(const QString& stored, QByteArray& out) {
    // Qt stores these byte for byte; the others as UTF-8.
    const bool raw = stored.startsWith(QLatin1String("@ByteArray(")) ||
                     stored.startsWith(QLatin1String("@Variant(")) ||
                     stored.startsWith(QLatin1String("@DateTime("));
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar qch : stored) {
        const uint ch = qch.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && ch < 0x80 && hexValue(char(ch)) >= 0) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F || (ch >= 0x7F && raw)) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else if (raw) {
                out += char(ch);
            } else {
                out += QByteArray(toUtf8(QStringView(&qch, 1)));
            }
        }
    }
    if (needsQuotes || (start < out.size() && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// A text as Qt's writer stores it: a leading '@' doubled, a text with a NUL wrapped.
QString storedText(const QString& text) {
    if (text.contains(QChar::Null))
        return QLatin1String("@String(") + text + u')';
    return text.startsWith(u'@') ? u'@' + text : text;
}

} // namespace

QSettings::Format PlainIniFormat::format() {
    static const QSettings::Format registered =
        QSettings::registerFormat(QStringLiteral("ini"), &PlainIniFormat::read, &PlainIniFormat::write);
    return registered;
}

// Sections are read in ascending order of their names, as Qt does, so that when a section and a
// key name both hold slashes and name the same path, the same value wins.
bool PlainIniFormat::read(QIODevice& device, QSettings::SettingsMap& map) {
    QByteArray bytes = device.readAll();
    QByteArrayView data(bytes);
    if (data.startsWith("\xef\xbb\xbf"))
        data = data.sliced(3);
    QMap<QString, QList<QByteArrayView>> sections;
    QString prefix;
    qsizetype sectionStart = 0;
    qsizetype pos = 0;
    qsizetype lineStart = 0;
    qsizetype lineLen = 0;
    qsizetype equalsPos = -1;
    while (nextLine(data, pos, lineStart, lineLen, equalsPos)) {
        const QByteArrayView line = data.sliced(lineStart, lineLen);
        if (!line.startsWith('['))
            continue;
        sections[prefix].append(data.sliced(sectionStart, lineStart - sectionStart));
        qsizetype close = line.indexOf(']');
        if (close < 0)
            close = lineLen;
        const QByteArrayView name = line.first(close).sliced(1).trimmed();
        if (name.compare("general", Qt::CaseInsensitive) == 0)
            prefix.clear();
        else if (name.compare("%general", Qt::CaseInsensitive) == 0)
            prefix = QString::fromLatin1(name.sliced(1)) + u'/';
        else
            prefix = unescapedKey(name) + u'/';
        sectionStart = pos;
    }
    sections[prefix].append(data.sliced(sectionStart));
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        for (const QByteArrayView part : it.value())
            readSection(it.key(), part, map);
    }
    // A malformed line is skipped, never the whole file.
    return true;
}

bool PlainIniFormat::write(QIODevice& device, const QSettings::SettingsMap& map) {
    QMap<QString, QMap<QString, QVariant>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().first(slash);
        sections[section].insert(slash < 0 ? it.key() : it.key().sliced(slash + 1), it.value());
    }
    bool first = true;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        QByteArray header;
        escapedKey(section.key(), header);
        if (header.isEmpty())
            header = "[General]";
        else if (header.compare("general", Qt::CaseInsensitive) == 0)
            header = "[%General]";
        else
            header = '[' + header + ']';
        header = (first ? QByteArray() : QByteArray("\n")) + header + '\n';
        first = false;
        if (device.write(header) == -1)
            return false;
        for (auto key = section->cbegin(); key != section->cend(); ++key) {
            QByteArray line;
            escapedKey(key.key(), line);
            line += '=';
            if (key->typeId() == QMetaType::QStringList) {
                const QStringList texts = key->toStringList();
                if (texts.isEmpty())
                    line += "@Invalid()";
                for (qsizetype i = 0; i < texts.size(); ++i) {
                    if (i > 0)
                        line += ", ";
                    escapedText(storedText(texts[i]), line);
                }
            } else {
                escapedText(storedText(key->toString()), line);
            }
            line += '\n';
            if (device.write(line) == -1)
                return false;
        }
    }
    return true;
}
