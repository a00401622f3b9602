#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

namespace ordwick {

constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;

enum RegistryValueType : std::int32_t {
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_MULTI_SZ = 7
};

// A per-user settings store that behaves like the registry the program was
// designed around: keys are paths separated by "\", key and value names match
// without regard to letter case, and every value carries a type.
//
// Each root is one file in storeFolder(), named after the root
// ("HKEY_LOCAL_MACHINE.ini", "HKEY_CLASSES_ROOT.ini"); other roots cannot be
// opened. Nothing is cached: every call reads the file and every change
// rewrites it whole, so two objects see each other's writes at once. The file
// stays readable: one section per key, one line per value, the value's type in
// front of its data:
//
//     [SOFTWARE\Tessaline\Settings]
//     @=sz:text                 the key's default (unnamed) value
//     Path=expand_sz:%HOME%/Tessaline
//     Choices=multi_sz:a\0b\0\0
//     Theme=dword:00000001
//     Data=hex:00,ff,10
//     Other=hex(5):00,00,01,00  any type as its bytes
//
// Names escape "%", "=", control characters and anything the INI reader would
// take for syntax as %XX (UTF-8 bytes); texts escape "\", line breaks, NUL and
// other control characters C-style. Both come back exactly as they were stored.
//
// Under HKEY_LOCAL_MACHINE the keys down to "SOFTWARE\ODBC\ODBC.INI" always
// exist, and that key and all below it belong to the ODBC driver manager:
// "ODBC Data Sources" lists the system data sources (name -> driver), and
// "SOFTWARE\ODBC\ODBC.INI\<name>" holds one data source's attributes. The
// program may read them but not change them.
//
// A key or store the program may not open or write is not an error, as a
// registry key without rights is not: reads give Default, writes are lost.
// Stores that exist but cannot be read, or whose entries make no sense, are.
class SettingsStore {
public:
    // True when SectionKey exists under ClassKey.
    bool keyExists() const;
    // Creates SectionKey and every missing key above it; true when it exists afterwards.
    bool createKey();
    // Deletes SectionKey with its values. A key that still has sub-keys stays.
    void deleteKey();
    // Deletes the value ValueKey of SectionKey.
    void deleteValue();

    // The value ValueKey of SectionKey, or Default when the key or value is
    // missing. Texts (REG_SZ, REG_MULTI_SZ with its NUL separators) come back
    // as text, REG_EXPAND_SZ with its %NAME% references replaced by the
    // environment, REG_DWORD and REG_DWORD_BIG_ENDIAN as a 32-bit number, any
    // other type as its bytes. ValueType is set when a value was found.
    QVariant value();
    // Stores the value as ValueType, creating SectionKey when missing.
    // REG_SZ and REG_EXPAND_SZ take text (numbers and booleans as their text)
    // and store it as REG_EXPAND_SZ only when it looks like it holds a %NAME%
    // reference: a "%" with another one at least two characters further on.
    // REG_DWORD and REG_DWORD_BIG_ENDIAN take 16- or 32-bit integers and store
    // them as REG_DWORD. REG_BINARY takes bytes. Any other type, or a value its
    // type cannot take, is not stored.
    void setValue(const QVariant& value);

    // The names of the sub-keys of SectionKey in stored order.
    void enumerateSections(QStringList& names, std::int32_t& count);
    // The names of the values of SectionKey in stored order; "" is the default value.
    void enumerateValues(QStringList& names, std::int32_t& count);

    std::int32_t valueType() const { return m_valueType; }
    void setValueType(std::int32_t value) { m_valueType = value; }
    std::uint32_t classKey() const { return m_classKey; }
    void setClassKey(std::uint32_t value) { m_classKey = value; }
    const QString& sectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString& value) { m_sectionKey = value; }
    const QString& valueKey() const { return m_valueKey; }
    void setValueKey(const QString& value) { m_valueKey = value; }
    const QVariant& defaultValue() const { return m_default; }
    void setDefaultValue(const QVariant& value) { m_default = value; }

    // $XDG_CONFIG_HOME/Tessaline/registry
    static QString storeFolder();

private:
    std::int32_t m_valueType = REG_SZ;
    std::uint32_t m_classKey = HKEY_LOCAL_MACHINE;
    QString m_sectionKey;
    QString m_valueKey;
    QVariant m_default;
};

// The value `name` of the key `path`, creating the key when it is missing; an
// empty QVariant when there is no such value.
QVariant registryValue(std::uint32_t root, const QString& path, const QString& name);
// Stores the value as `type` under the key `path`, creating the key when it is missing.
void setRegistryValue(std::uint32_t root, const QString& path, const QString& name,
                      std::int32_t type, const QVariant& value);

} // namespace ordwick
