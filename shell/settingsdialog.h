#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace ordwick {

// The settings dialog: the .pjx file association and the theme.
class SettingsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);

    void onSaveClicked();

    QCheckBox* chkOption(int index) const { return m_chkOption.at(static_cast<size_t>(index)); }
    QComboBox* icbSkinTheme() const { return m_icbSkinTheme; }

private:
    std::array<QCheckBox*, 2> m_chkOption{};
    QComboBox* m_icbSkinTheme = nullptr;
};

} // namespace ordwick
