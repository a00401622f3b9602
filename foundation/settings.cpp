#include "foundation/settings.h"

#include "foundation/settingsstore.h"
#include "foundation/trap.h"

namespace ordwick::Settings {

namespace {

int storedInteger(const QString& name) {
    bool ok = false;
    const int value = registryValue(HKEY_LOCAL_MACHINE, ConfigureKey, name).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

const std::array<ThemeEntry, 4>& themeEntries() {
    static const std::array<ThemeEntry, 4> entries = {{
        {QStringLiteral("System"), 4},
        {QStringLiteral("Blue"), 2},
        {QStringLiteral("OliveGreen"), 3},
        {QStringLiteral("Silver"), 4},
    }};
    return entries;
}

int themeIndexFor(int code) {
    int index = -1;
    for (size_t i = 0; i < themeEntries().size(); ++i) {
        if (themeEntries()[i].code == code)
            index = static_cast<int>(i);
    }
    return index;
}

int readThemeCode() {
    const int code = storedInteger(QStringLiteral("Theme"));
    return code == 0 ? kDefaultThemeCode : code;
}

Choices GetSettings() {
    Choices choices;
    Trap(QStringLiteral("frmConfigure.GetSettings"), [&] {
        choices.associate = storedInteger(QStringLiteral("Associate")) != 0;
        choices.themeSupport = storedInteger(QStringLiteral("ThemeSupport")) != 0;
    });
    return choices;
}

void SetSettings(const Choices& choices, int themeCode) {
    Trap(QStringLiteral("frmConfigure.SetSettings"), [&] {
        setRegistryValue(HKEY_LOCAL_MACHINE, ConfigureKey, QStringLiteral("Associate"), REG_DWORD,
                         choices.associate ? 1 : 0);
        setRegistryValue(HKEY_LOCAL_MACHINE, ConfigureKey, QStringLiteral("ThemeSupport"),
                         REG_DWORD, choices.themeSupport ? 1 : 0);
        setRegistryValue(HKEY_LOCAL_MACHINE, ConfigureKey, QStringLiteral("Theme"), REG_DWORD,
                         themeCode);
    });
}

} // namespace ordwick::Settings
