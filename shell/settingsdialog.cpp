#include "shell/settingsdialog.h"

#include "controls/accessibility.h"
#include "controls/iconstore.h"
#include "foundation/fileassociation.h"
#include "foundation/settings.h"
#include "foundation/trap.h"
#include "shell/theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ordwick {

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConfigure"));
    setWindowTitle(QStringLiteral("Configure"));
    Trap(QStringLiteral("frmConfigure.Form_Load"), [&] {
        auto* layout = new QVBoxLayout(this);
        m_chkOption[0] =
            new QCheckBox(QStringLiteral("Associate .pjx extension with Tessaline."), this);
        m_chkOption[1] = new QCheckBox(QStringLiteral("Application theme to use."), this);
        for (size_t i = 0; i < m_chkOption.size(); ++i) {
            m_chkOption[i]->setObjectName(QStringLiteral("chkOption(%1)").arg(i));
            layout->addWidget(m_chkOption[i]);
        }
        m_icbSkinTheme = new QComboBox(this);
        m_icbSkinTheme->setObjectName(QStringLiteral("icbSkinTheme"));
        m_icbSkinTheme->setAccessibleName(QStringLiteral("Theme"));
        for (const Settings::ThemeEntry& entry : Settings::themeEntries())
            m_icbSkinTheme->addItem(iconFor(QStringLiteral("COLOR")), entry.name, entry.code);
        m_icbSkinTheme->setCurrentIndex(Settings::themeIndexFor(Theme::code()));
        auto* themeRow = new QHBoxLayout;
        themeRow->addSpacing(24);
        themeRow->addWidget(m_icbSkinTheme, 1);
        layout->addLayout(themeRow);

        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        auto* save = new QPushButton(QStringLiteral("&Save"), this);
        save->setObjectName(QStringLiteral("cmdSave"));
        save->setDefault(true);
        auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
        cancel->setObjectName(QStringLiteral("cmdCancel"));
        buttons->addWidget(save);
        buttons->addWidget(cancel);
        layout->addLayout(buttons);
        connect(save, &QPushButton::clicked, this, &SettingsDialog::onSaveClicked);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

        const Settings::Choices choices = Settings::GetSettings();
        m_chkOption[0]->setChecked(choices.associate);
        m_chkOption[1]->setChecked(choices.themeSupport);
        assignAccessibleNames(this);
    });
}

void SettingsDialog::onSaveClicked() {
    Trap(QStringLiteral("frmConfigure.cmdSave_Click"), [&] {
        if (m_chkOption[0]->isChecked()) {
            CreateAssociation(QStringLiteral("Tessaline"), QStringLiteral("Tessaline Project"),
                              QCoreApplication::applicationFilePath(), QStringLiteral(".pjx"));
        }
        const int selected = m_icbSkinTheme->currentData().toInt();
        if (m_chkOption[1]->isChecked() && selected != Theme::code())
            Theme::apply(selected);
        Settings::SetSettings({m_chkOption[0]->isChecked(), m_chkOption[1]->isChecked()},
                              Theme::code());
    });
    accept();
}

} // namespace ordwick
