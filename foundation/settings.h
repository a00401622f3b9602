#pragma once

#include <QString>
#include <array>

namespace ordwick {

// The user settings kept in the settings store under "SOFTWARE\Tessaline\Configure".
namespace Settings {

inline const QString ConfigureKey = QStringLiteral("SOFTWARE\\Tessaline\\Configure");

struct ThemeEntry {
    QString name;
    int code;
};

// The themes offered in the settings dialog, in list order. "System" shares the
// code of "Silver", which is the look the system theme stands for here.
const std::array<ThemeEntry, 4>& themeEntries();
// The entry the dialog selects for a code: the last one carrying it.
int themeIndexFor(int code);

constexpr int kDefaultThemeCode = 2;

// The theme code stored by the settings dialog; 2 when none (or 0) is stored.
int readThemeCode();

struct Choices {
    bool associate = false;
    bool themeSupport = false;
};

// Reads "Associate" and "ThemeSupport"; a missing value reads as clear.
Choices GetSettings();
// Stores "Associate", "ThemeSupport" and "Theme" as 32-bit integers.
void SetSettings(const Choices& choices, int themeCode);

} // namespace Settings

} // namespace ordwick
