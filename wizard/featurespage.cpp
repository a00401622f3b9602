#include "wizard/featurespage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace ordwick {

namespace {

QCheckBox* featureBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

FeaturesPage::FeaturesPage(QWidget* parent)
    : QWidget(parent), m_chkAdd(featureBox("chkAdd", QStringLiteral("Allow add"), this)),
      m_chkEdit(featureBox("chkEdit", QStringLiteral("Allow edit"), this)),
      m_chkDelete(featureBox("chkDelete", QStringLiteral("Allow delete"), this)),
      m_chkSearch(featureBox("chkSearch", QStringLiteral("Enable basic search"), this)),
      m_chkAdvancedSearch(
          featureBox("chkAdvancedSearch", QStringLiteral("Enable advanced search"), this)),
      m_chkSort(featureBox("chkSort", QStringLiteral("Enable column sorting"), this)),
      m_chkPage(featureBox("chkPage", QStringLiteral("Enable records per page"), this)),
      m_chkLogin(featureBox("chkLogin", QStringLiteral("Create login page"), this)),
      m_chkSelectAllFeatures(
          featureBox("chkSelectAllFeatures", QStringLiteral("Select All Features"), this)) {
    setObjectName(QStringLiteral("pgFeatures"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Select the features that you wish to enable in your ASP script."), this));
    auto* grid = new QGridLayout;
    const QCheckBox* order[] = {m_chkAdd,    m_chkSearch, m_chkEdit,  m_chkAdvancedSearch,
                                m_chkDelete, m_chkSort,   m_chkLogin, m_chkPage};
    for (int i = 0; i < 8; ++i)
        grid->addWidget(const_cast<QCheckBox*>(order[i]), i / 2, i % 2);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addWidget(m_chkSelectAllFeatures);
    layout->addStretch();
    // Its state, however changed (a click, Space, a screen reader's toggle),
    // applies to the features; nothing else sets it.
    connect(m_chkSelectAllFeatures, &QCheckBox::toggled, this, &FeaturesPage::onSelectAllToggled);
    setFeatures(Features{});
}

Features FeaturesPage::features() const {
    return {m_chkAdd->isChecked(),    m_chkEdit->isChecked(),           m_chkDelete->isChecked(),
            m_chkSearch->isChecked(), m_chkAdvancedSearch->isChecked(), m_chkSort->isChecked(),
            m_chkPage->isChecked(),   m_chkLogin->isChecked()};
}

void FeaturesPage::setFeatures(const Features& f) {
    m_chkAdd->setChecked(f.add);
    m_chkEdit->setChecked(f.edit);
    m_chkDelete->setChecked(f.remove);
    m_chkAdvancedSearch->setChecked(f.advancedSearch);
    m_chkSort->setChecked(f.sort);
    m_chkLogin->setChecked(f.login);
    m_chkPage->setChecked(f.page);
    m_chkSearch->setChecked(f.search);
}

void FeaturesPage::onSelectAllToggled() {
    setFeatures(features().withAllSelected(m_chkSelectAllFeatures->isChecked()));
}

QCheckBox* FeaturesPage::box(const char* objectName) const {
    return findChild<QCheckBox*>(QString::fromLatin1(objectName));
}

} // namespace ordwick
