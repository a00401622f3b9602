#include "foundation/settingsstore.h"

#include "foundation/convert.h"
#include "foundation/inidocument.h"
#include "foundation/odbcdatasources.h"
#include "foundation/runtimeerror.h"
#include "foundation/trap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <limits>
#include <optional>

namespace ordwick {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool samePath(const QStringList& a, const QStringList& b) {
    return a.size() == b.size() && std::equal(a.cbegin(), a.cend(), b.cbegin(), sameName);
}

bool startsWithPath(const QStringList& path, const QStringList& prefix) {
    return path.size() >= prefix.size() &&
           std::equal(prefix.cbegin(), prefix.cend(), path.cbegin(), sameName);
}

void appendUnique(QStringList& names, const QString& name) {
    if (std::none_of(names.cbegin(), names.cend(),
                     [&](const QString& known) { return sameName(known, name); })) {
        names.append(name);
    }
}

// --- Names -------------------------------------------------------------------

enum class NameKind { Key, Value };

// The unnamed (default) value of a key, which the INI reader could not hold as "".
const QString kDefaultValueName = QStringLiteral("@");

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

void appendPercentEscaped(QString& out, QStringView characters) {
    for (const char byte : characters.toUtf8()) {
        out += QStringLiteral("%%1")
                   .arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0'))
                   .toUpper();
    }
}

// Escapes only what the INI reader would otherwise change or misread (blanks it
// trims, "=" that ends a key name, "]" that ends a section name, a first
// character that makes the line a comment or a section, control characters)
// and "%" itself, so that the name stays readable.
QString encodeName(const QString& name, NameKind kind) {
    if (kind == NameKind::Value && name.isEmpty())
        return kDefaultValueName;
    QString out;
    const qsizetype last = name.size() - 1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const ushort code = c.unicode();
        bool escape =
            c == u'%' || code < 0x20 || code == 0x7f || ((i == 0 || i == last) && c.isSpace());
        if (kind == NameKind::Value) {
            escape = escape || c == u'=' ||
                     (i == 0 && (c == u';' || c == u'#' || c == u'[' || c == u'@'));
        } else {
            escape = escape || c == u']';
        }
        if (escape)
            appendPercentEscaped(out, QStringView(&name.constData()[i], 1));
        else
            out += c;
    }
    return out;
}

// A "%" that does not start an escape was typed by hand and stays as it is.
QString decodeName(const QString& stored, NameKind kind) {
    if (kind == NameKind::Value && stored == kDefaultValueName)
        return {};
    const QByteArray bytes = stored.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '%' && i + 2 < bytes.size() && isHexDigit(bytes.at(i + 1)) &&
            isHexDigit(bytes.at(i + 2))) {
            out += static_cast<char>(hexValue(bytes.at(i + 1)) * 16 + hexValue(bytes.at(i + 2)));
            i += 2;
        } else {
            out += bytes.at(i);
        }
    }
    return QString::fromUtf8(out);
}

// A key path as its names. Outer separators are ignored; an empty name inside
// the path makes it one no key can have.
std::optional<QStringList> splitPath(const QString& path) {
    QString trimmed = path;
    while (trimmed.startsWith(QLatin1Char('\\')))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return QStringList();
    QStringList parts = trimmed.split(QLatin1Char('\\'));
    if (parts.contains(QString()))
        return std::nullopt;
    return parts;
}

QString joinPath(const QStringList& parts) {
    return parts.join(QLatin1Char('\\'));
}

// --- Values ------------------------------------------------------------------

struct StoredValue {
    std::int32_t type = REG_SZ;
    QString text;            // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ
    std::int32_t number = 0; // REG_DWORD, REG_DWORD_BIG_ENDIAN
    QByteArray bytes;        // every other type
};

bool isTextType(std::int32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

bool isNumberType(std::int32_t type) {
    return type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN;
}

[[noreturn]] void corruptEntry(const QString& entry) {
    throw RuntimeError(ErrorNumber::TypeMismatch,
                       QStringLiteral("Type mismatch: the settings store holds \"%1\", which is "
                                      "not a value it can read")
                           .arg(entry));
}

// One to `longest` hexadecimal digits and nothing else.
std::optional<std::uint32_t> parseHex(QStringView digits, qsizetype longest) {
    if (digits.isEmpty() || digits.size() > longest)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const QChar c : digits) {
        const ushort code = c.unicode();
        if (code > 0x7f || !isHexDigit(static_cast<char>(code)))
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(hexValue(static_cast<char>(code)));
    }
    return value;
}

QString escapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort code = c.unicode();
        if (c == u'\\') {
            out += QLatin1String("\\\\");
        } else if (code == 0) {
            out += QLatin1String("\\0");
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (code < 0x20 || code == 0x7f) {
            out += QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate()) {
            // UTF-8 cannot carry half a character; the escape keeps it.
            out += QStringLiteral("\\u%1").arg(code, 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

// A backslash that starts no known escape was typed by hand (a Windows path,
// say) and stays as it is.
QString unescapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(i + 1);
        std::optional<std::uint32_t> code;
        qsizetype used = 1;
        switch (next.unicode()) {
        case u'\\':
            code = u'\\';
            break;
        case u'0':
            code = 0;
            break;
        case u'n':
            code = u'\n';
            break;
        case u'r':
            code = u'\r';
            break;
        case u't':
            code = u'\t';
            break;
        case u'x':
        case u'u': {
            // Exactly two or four digits.
            const qsizetype length = next == u'x' ? 2 : 4;
            const QStringView digits = QStringView(text).mid(i + 2, length);
            if (digits.size() == length)
                code = parseHex(digits, length);
            used = length + 1;
            break;
        }
        default:
            break;
        }
        if (!code) {
            out += c;
            continue;
        }
        out += QChar(static_cast<char16_t>(*code));
        i += used;
    }
    return out;
}

QString formatBytes(const QByteArray& bytes) {
    QStringList parts;
    parts.reserve(bytes.size());
    for (const char byte : bytes)
        parts.append(
            QStringLiteral("%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0')));
    return parts.join(QLatin1Char(','));
}

QByteArray parseBytes(const QString& text, const QString& entry) {
    QByteArray bytes;
    if (text.trimmed().isEmpty())
        return bytes;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const std::optional<std::uint32_t> value = parseHex(QStringView(part).trimmed(), 2);
        if (!value)
            corruptEntry(entry);
        bytes += static_cast<char>(*value);
    }
    return bytes;
}

QString formatValue(const StoredValue& value) {
    switch (value.type) {
    case REG_SZ:
        return QLatin1String("sz:") + escapeText(value.text);
    case REG_EXPAND_SZ:
        return QLatin1String("expand_sz:") + escapeText(value.text);
    case REG_MULTI_SZ:
        return QLatin1String("multi_sz:") + escapeText(value.text);
    case REG_DWORD:
        return QStringLiteral("dword:%1")
            .arg(static_cast<std::uint32_t>(value.number), 8, 16, QLatin1Char('0'));
    case REG_BINARY:
        return QLatin1String("hex:") + formatBytes(value.bytes);
    default:
        return QStringLiteral("hex(%1):").arg(value.type) + formatBytes(value.bytes);
    }
}

// Bytes of a text or number type are read the way the type says.
StoredValue valueFromBytes(std::int32_t type, const QByteArray& bytes, const QString& entry) {
    StoredValue value;
    value.type = type;
    if (isTextType(type)) {
        value.text = QString::fromUtf8(bytes);
    } else if (isNumberType(type)) {
        if (bytes.size() != 4)
            corruptEntry(entry);
        const auto byte = [&](int index) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(index)));
        };
        const std::uint32_t bits = type == REG_DWORD
                                       ? byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24
                                       : byte(3) | byte(2) << 8 | byte(1) << 16 | byte(0) << 24;
        value.number = static_cast<std::int32_t>(bits);
    } else {
        value.bytes = bytes;
    }
    return value;
}

StoredValue parseValue(const QString& entry) {
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    if (colon < 0)
        corruptEntry(entry);
    const QString kind = entry.left(colon).trimmed().toLower();
    const QString data = entry.mid(colon + 1);
    StoredValue value;
    if (kind == QLatin1String("sz") || kind == QLatin1String("expand_sz") ||
        kind == QLatin1String("multi_sz")) {
        value.type = kind == QLatin1String("sz")          ? REG_SZ
                     : kind == QLatin1String("expand_sz") ? REG_EXPAND_SZ
                                                          : REG_MULTI_SZ;
        value.text = unescapeText(data);
        return value;
    }
    if (kind == QLatin1String("dword")) {
        const std::optional<std::uint32_t> bits = parseHex(QStringView(data).trimmed(), 8);
        if (!bits)
            corruptEntry(entry);
        value.type = REG_DWORD;
        value.number = static_cast<std::int32_t>(*bits);
        return value;
    }
    if (kind == QLatin1String("hex"))
        return valueFromBytes(REG_BINARY, parseBytes(data, entry), entry);
    if (kind.startsWith(QLatin1String("hex(")) && kind.endsWith(QLatin1Char(')'))) {
        bool ok = false;
        const int type = kind.mid(4, kind.size() - 5).toInt(&ok);
        if (!ok || type < 0)
            corruptEntry(entry);
        return valueFromBytes(type, parseBytes(data, entry), entry);
    }
    corruptEntry(entry);
}

// %NAME% references to variables that are not set stay as they are.
QString expandEnvironment(const QString& text) {
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), i);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, open - i);
        const QString name = text.mid(open + 1, close - open - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            i = close + 1;
        } else {
            // The closing "%" may open the next reference.
            out += QLatin1Char('%');
            i = open + 1;
            out += text.mid(i, close - i);
            i = close;
        }
    }
    return out;
}

QVariant toVariant(const StoredValue& value) {
    if (value.type == REG_EXPAND_SZ)
        return expandEnvironment(value.text);
    if (isTextType(value.type))
        return value.text;
    if (isNumberType(value.type))
        return QVariant::fromValue<qint32>(value.number);
    return value.bytes;
}

// A "%" with another one at least two characters further on: a reference to expand.
bool holdsReference(const QString& text) {
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

std::optional<QString> textOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QChar:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    case QMetaType::Bool:
        return boolText(value.toBool());
    default:
        return std::nullopt;
    }
}

std::optional<std::int32_t> numberOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::uint32_t>::max()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    }
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    }
    default:
        return std::nullopt;
    }
}

// What the value becomes when written as `type`; nothing when it cannot be stored so.
std::optional<StoredValue> valueToStore(std::int32_t type, const QVariant& value) {
    StoredValue stored;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const std::optional<QString> text = textOf(value);
        if (!text)
            return std::nullopt;
        stored.type = holdsReference(*text) ? REG_EXPAND_SZ : REG_SZ;
        stored.text = *text;
        return stored;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        const std::optional<std::int32_t> number = numberOf(value);
        if (!number)
            return std::nullopt;
        stored.type = REG_DWORD;
        stored.number = *number;
        return stored;
    }
    case REG_BINARY:
        if (value.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        stored.type = REG_BINARY;
        stored.bytes = value.toByteArray();
        return stored;
    default:
        return std::nullopt;
    }
}

// --- The driver manager's keys -------------------------------------------------

const QStringList kOdbcIniPath{QStringLiteral("SOFTWARE"), QStringLiteral("ODBC"),
                               QStringLiteral("ODBC.INI")};
const QString kDataSourcesKey = QStringLiteral("ODBC Data Sources");

bool isOdbcKey(std::uint32_t root, const QStringList& path) {
    return root == HKEY_LOCAL_MACHINE && startsWithPath(path, kOdbcIniPath);
}

// The data source named by a key below ODBC.INI, in the driver manager's spelling.
std::optional<QString> odbcDataSourceName(const QString& name) {
    for (const OdbcDataSource& source : systemDataSources()) {
        if (sameName(source.name, name))
            return source.name;
    }
    return std::nullopt;
}

bool odbcKeyExists(const QStringList& path) {
    if (path.size() == kOdbcIniPath.size())
        return true;
    if (path.size() != kOdbcIniPath.size() + 1)
        return false;
    return sameName(path.last(), kDataSourcesKey) || odbcDataSourceName(path.last()).has_value();
}

QStringList odbcSubKeys(const QStringList& path) {
    QStringList names;
    if (path.size() != kOdbcIniPath.size())
        return names;
    names.append(kDataSourcesKey);
    for (const OdbcDataSource& source : systemDataSources())
        appendUnique(names, source.name);
    return names;
}

QStringList odbcValueNames(const QStringList& path) {
    QStringList names;
    if (path.size() != kOdbcIniPath.size() + 1)
        return names;
    if (sameName(path.last(), kDataSourcesKey)) {
        for (const OdbcDataSource& source : systemDataSources())
            names.append(source.name);
        return names;
    }
    if (const std::optional<QString> source = odbcDataSourceName(path.last()))
        names = dataSourceAttributeNames(*source);
    return names;
}

std::optional<StoredValue> odbcValue(const QStringList& path, const QString& name) {
    if (path.size() != kOdbcIniPath.size() + 1)
        return std::nullopt;
    StoredValue value;
    value.type = REG_SZ;
    if (sameName(path.last(), kDataSourcesKey)) {
        for (const OdbcDataSource& source : systemDataSources()) {
            if (sameName(source.name, name)) {
                value.text = source.driver;
                return value;
            }
        }
        return std::nullopt;
    }
    const std::optional<QString> source = odbcDataSourceName(path.last());
    if (!source)
        return std::nullopt;
    for (const QString& attribute : dataSourceAttributeNames(*source)) {
        if (sameName(attribute, name)) {
            value.text = dataSourceAttribute(*source, attribute);
            return value;
        }
    }
    return std::nullopt;
}

// The keys that exist without a section of their own: those on the way down
// to the driver manager's keys.
QStringList virtualSubKeys(std::uint32_t root, const QStringList& path) {
    if (root != HKEY_LOCAL_MACHINE || path.size() >= kOdbcIniPath.size() ||
        !startsWithPath(kOdbcIniPath, path)) {
        return {};
    }
    return {kOdbcIniPath.at(path.size())};
}

// --- The store file ------------------------------------------------------------

std::optional<QString> storeFile(std::uint32_t root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return SettingsStore::storeFolder() + QStringLiteral("/HKEY_CLASSES_ROOT.ini");
    case HKEY_LOCAL_MACHINE:
        return SettingsStore::storeFolder() + QStringLiteral("/HKEY_LOCAL_MACHINE.ini");
    default:
        return std::nullopt;
    }
}

// One root's file in memory. Sections are the key paths, each value one entry.
class Store {
public:
    // A missing file is an empty store; one that is there but cannot be read
    // is a failure, since writing over it would lose what it holds.
    static Store load(const QString& path) {
        Store store;
        store.m_path = path;
        if (QFileInfo::exists(path)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                throw RuntimeError(ErrorNumber::PathFileAccess,
                                   QStringLiteral("Path/File access error: cannot read the "
                                                  "settings store \"%1\" (%2)")
                                       .arg(path, file.errorString()));
            }
        }
        store.m_document = IniDocument::load(path);
        return store;
    }

    // The section of the key as the file spells it.
    std::optional<QString> section(const QStringList& path) const {
        if (path.isEmpty())
            return std::nullopt;
        for (const QString& stored : m_document.sections()) {
            const std::optional<QStringList> parts = splitPath(decodeName(stored, NameKind::Key));
            if (parts && samePath(*parts, path))
                return stored;
        }
        return std::nullopt;
    }

    // True when the key has a section or sits above one that has.
    bool keyExists(const QStringList& path) const {
        if (path.isEmpty())
            return true;
        const QStringList sections = m_document.sections();
        return std::any_of(sections.cbegin(), sections.cend(), [&](const QString& stored) {
            const std::optional<QStringList> parts = splitPath(decodeName(stored, NameKind::Key));
            return parts && startsWithPath(*parts, path);
        });
    }

    QStringList subKeys(const QStringList& path) const {
        QStringList names;
        for (const QString& stored : m_document.sections()) {
            const std::optional<QStringList> parts = splitPath(decodeName(stored, NameKind::Key));
            if (parts && parts->size() > path.size() && startsWithPath(*parts, path))
                appendUnique(names, parts->at(path.size()));
        }
        return names;
    }

    // The entry of the value as the file spells it.
    std::optional<QString> entry(const QString& section, const QString& name) const {
        for (const QString& stored : m_document.keys(section)) {
            if (sameName(decodeName(stored, NameKind::Value), name))
                return stored;
        }
        return std::nullopt;
    }

    QStringList valueNames(const QStringList& path) const {
        QStringList names;
        if (const std::optional<QString> stored = section(path)) {
            for (const QString& key : m_document.keys(*stored))
                names.append(decodeName(key, NameKind::Value));
        }
        return names;
    }

    std::optional<StoredValue> value(const QStringList& path, const QString& name) const {
        const std::optional<QString> stored = section(path);
        if (!stored)
            return std::nullopt;
        const std::optional<QString> key = entry(*stored, name);
        if (!key)
            return std::nullopt;
        return parseValue(m_document.value(*stored, *key).value_or(QString()));
    }

    // Adds a section for the key and every key above it that does not exist,
    // keeping the spelling of those that do. Returns the key's path as spelled.
    QStringList createKey(std::uint32_t root, const QStringList& path) {
        QStringList spelled;
        for (const QString& name : path) {
            QStringList known = subKeys(spelled);
            for (const QString& implied : virtualSubKeys(root, spelled))
                appendUnique(known, implied);
            const auto match = std::find_if(known.cbegin(), known.cend(),
                                            [&](const QString& k) { return sameName(k, name); });
            spelled.append(match != known.cend() ? *match : name);
            if (match == known.cend())
                addSection(spelled);
        }
        return spelled;
    }

    // The section that holds the key's values, made when the key exists only
    // as the parent of others.
    QString valueSection(std::uint32_t root, const QStringList& path) {
        const QStringList spelled = createKey(root, path);
        if (const std::optional<QString> existing = section(spelled))
            return *existing;
        addSection(spelled);
        return encodeName(joinPath(spelled), NameKind::Key);
    }

    void setValue(const QString& section, const QString& name, const StoredValue& value) {
        const QString key = entry(section, name).value_or(encodeName(name, NameKind::Value));
        m_document.setValue(section, key, formatValue(value));
        m_changed = true;
    }

    void deleteValue(const QString& section, const QString& name) {
        if (const std::optional<QString> key = entry(section, name)) {
            m_document.deleteKey(section, *key);
            m_changed = true;
        }
    }

    void deleteSection(const QString& section) {
        m_document.deleteSection(section);
        m_changed = true;
    }

    // Writes the file when something changed. A folder or file the user may
    // not write loses the change without a word, as a key without rights would.
    bool save() const {
        if (!m_changed)
            return true;
        try {
            QDir().mkpath(QFileInfo(m_path).absolutePath());
            m_document.save(m_path);
            return true;
        } catch (const RuntimeError&) {
            return false;
        }
    }

private:
    void addSection(const QStringList& path) {
        // The INI document makes sections only for a value; an empty key is
        // a section without one. No encoded value name starts with "@" and goes
        // on, so the placeholder cannot take a real value with it.
        const QString section = encodeName(joinPath(path), NameKind::Key);
        const QString placeholder = QStringLiteral("@new");
        m_document.setValue(section, placeholder, QString());
        m_document.deleteKey(section, placeholder);
        m_changed = true;
    }

    QString m_path;
    IniDocument m_document;
    bool m_changed = false;
};

// The key the object names: its root's file and its path, or nothing when it
// cannot be opened at all.
struct KeyLocation {
    QString file;
    QStringList path;
};

std::optional<KeyLocation> locate(std::uint32_t root, const QString& sectionKey) {
    const std::optional<QString> file = storeFile(root);
    const std::optional<QStringList> path = splitPath(sectionKey);
    if (!file || !path)
        return std::nullopt;
    return KeyLocation{*file, *path};
}

} // namespace

QString SettingsStore::storeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tessaline/registry");
}

bool SettingsStore::keyExists() const {
    const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
    if (!key)
        return false;
    if (isOdbcKey(m_classKey, key->path))
        return odbcKeyExists(key->path);
    if (!virtualSubKeys(m_classKey, key->path).isEmpty())
        return true;
    // Being asked is no failure: a store that cannot be read has no keys.
    try {
        return Store::load(key->file).keyExists(key->path);
    } catch (const RuntimeError&) {
        return false;
    }
}

bool SettingsStore::createKey() {
    bool created = false;
    Trap(QStringLiteral("clsRegistry.CreateKey"), [&] {
        created = false;
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key)
            return;
        if (isOdbcKey(m_classKey, key->path)) {
            created = odbcKeyExists(key->path);
            return;
        }
        if (key->path.isEmpty() || !virtualSubKeys(m_classKey, key->path).isEmpty()) {
            created = true;
            return;
        }
        Store store = Store::load(key->file);
        store.createKey(m_classKey, key->path);
        created = store.save();
    });
    return created;
}

void SettingsStore::deleteKey() {
    Trap(QStringLiteral("clsRegistry.DeleteKey"), [&] {
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key || key->path.isEmpty() || isOdbcKey(m_classKey, key->path) ||
            !virtualSubKeys(m_classKey, key->path).isEmpty() || !QFileInfo::exists(key->file)) {
            return;
        }
        Store store = Store::load(key->file);
        const std::optional<QString> section = store.section(key->path);
        if (!section || !store.subKeys(key->path).isEmpty())
            return;
        store.deleteSection(*section);
        store.save();
    });
}

void SettingsStore::deleteValue() {
    Trap(QStringLiteral("clsRegistry.DeleteValue"), [&] {
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key || isOdbcKey(m_classKey, key->path) || !QFileInfo::exists(key->file))
            return;
        Store store = Store::load(key->file);
        if (const std::optional<QString> section = store.section(key->path)) {
            store.deleteValue(*section, m_valueKey);
            store.save();
        }
    });
}

QVariant SettingsStore::value() {
    QVariant result = m_default;
    Trap(QStringLiteral("clsRegistry.Property get Value"), [&] {
        result = m_default;
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key)
            return;
        const std::optional<StoredValue> value =
            isOdbcKey(m_classKey, key->path) ? odbcValue(key->path, m_valueKey)
                                             : Store::load(key->file).value(key->path, m_valueKey);
        if (!value)
            return;
        result = toVariant(*value);
        m_valueType = value->type;
    });
    return result;
}

void SettingsStore::setValue(const QVariant& value) {
    Trap(QStringLiteral("clsRegistry.Property let Value"), [&] {
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        // The root holds no values, and the driver manager's keys are its own.
        if (!key || key->path.isEmpty() || isOdbcKey(m_classKey, key->path))
            return;
        Store store = Store::load(key->file);
        const QString section = store.valueSection(m_classKey, key->path);
        if (const std::optional<StoredValue> stored = valueToStore(m_valueType, value))
            store.setValue(section, m_valueKey, *stored);
        store.save();
    });
}

void SettingsStore::enumerateSections(QStringList& names, std::int32_t& count) {
    names.clear();
    count = 0;
    Trap(QStringLiteral("clsRegistry.EnumerateSections"), [&] {
        names.clear();
        count = 0;
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key)
            return;
        if (isOdbcKey(m_classKey, key->path)) {
            names = odbcSubKeys(key->path);
        } else {
            names = Store::load(key->file).subKeys(key->path);
            for (const QString& name : virtualSubKeys(m_classKey, key->path))
                appendUnique(names, name);
        }
        count = static_cast<std::int32_t>(names.size());
    });
}

void SettingsStore::enumerateValues(QStringList& names, std::int32_t& count) {
    names.clear();
    count = 0;
    Trap(QStringLiteral("clsRegistry.EnumerateValues"), [&] {
        names.clear();
        count = 0;
        const std::optional<KeyLocation> key = locate(m_classKey, m_sectionKey);
        if (!key)
            return;
        names = isOdbcKey(m_classKey, key->path) ? odbcValueNames(key->path)
                                                 : Store::load(key->file).valueNames(key->path);
        count = static_cast<std::int32_t>(names.size());
    });
}

QVariant registryValue(std::uint32_t root, const QString& path, const QString& name) {
    QVariant result;
    Trap(QStringLiteral("modRegistry.GetRegistryValue"), [&] {
        SettingsStore registry;
        registry.setClassKey(root);
        registry.setSectionKey(path);
        registry.setValueKey(name);
        if (!registry.keyExists())
            registry.createKey();
        result = registry.value();
    });
    return result;
}

void setRegistryValue(std::uint32_t root, const QString& path, const QString& name,
                      std::int32_t type, const QVariant& value) {
    Trap(QStringLiteral("modRegistry.SetRegistryValue"), [&] {
        SettingsStore registry;
        registry.setClassKey(root);
        registry.setSectionKey(path);
        registry.setValueKey(name);
        if (!registry.keyExists())
            registry.createKey();
        registry.setValueType(type);
        registry.setValue(value);
    });
}

} // namespace ordwick
