#include "shell/aboutdialog.h"

#include "controls/accessibility.h"
#include "foundation/prompt.h"
#include "foundation/trap.h"
#include "shell/theme.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ordwick {

QString AboutDialog::versionText() {
    return Prompt::productName() + QLatin1Char(' ') +
           QStringLiteral("%1.%2.%3")
               .arg(ORDWICK_VERSION_MAJOR)
               .arg(ORDWICK_VERSION_MINOR)
               .arg(ORDWICK_VERSION_PATCH) +
           QStringLiteral(" for Linux");
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tessaline"));
    Trap(QStringLiteral("frmAbout.Form_Load"), [&] {
        auto* layout = new QVBoxLayout(this);
        // The program's icon, as the desktop shows it (main.cpp sets it).
        if (const QIcon icon = QApplication::windowIcon(); !icon.isNull()) {
            auto* picture = new QLabel(this);
            picture->setPixmap(icon.pixmap(64, 64));
            layout->addWidget(picture, 0, Qt::AlignHCenter);
        }
        auto* version = new QLabel(versionText(), this);
        version->setObjectName(QStringLiteral("lblVersion"));
        QFont font = version->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        version->setFont(font);
        layout->addWidget(version);
        auto* description = new QLabel(
            QStringLiteral("Turns a database table into a working web application."), this);
        layout->addWidget(description);
        auto* theme = new QLabel(QStringLiteral("Theme: ") + Theme::name(Theme::code()), this);
        theme->setObjectName(QStringLiteral("lblTheme"));
        layout->addWidget(theme);
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("cmdOk"));
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(ok, 0, Qt::AlignRight);
        assignAccessibleNames(this);
    });
}

} // namespace ordwick
