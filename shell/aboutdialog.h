#pragma once

#include <QDialog>

namespace ordwick {

// The About box: the product, its version and the theme in use.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    static QString versionText();
};

} // namespace ordwick
