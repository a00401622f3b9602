#include "wizard/layoutpage.h"

#include "controls/iconstore.h"
#include "controls/pickonlycombobox.h"
#include "templates/templatechoicewidget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace ordwick {

namespace {

QCheckBox* layoutBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

LayoutPage::LayoutPage(Prompt& prompt, QWidget* parent)
    : QWidget(parent),
      m_chkPrinterFriendlyVersion(
          layoutBox("chkPrinterFriendlyVersion", QStringLiteral("Printer friendly version"), this)),
      m_chkExportTo(layoutBox("chkExportTo", QStringLiteral("Show export to option"), this)),
      m_chkRecordsPerPage(layoutBox("chkRecordsPerPage", QStringLiteral("Records per page"), this)),
      m_icbRecordsPerPage(new PickOnlyComboBox(this)),
      m_chkInitialOrderBy(layoutBox("chkInitialOrderBy", QStringLiteral("Initial order by"), this)),
      m_cmdInitialOrderBy(new QPushButton(QStringLiteral("&Order details..."), this)),
      m_chkMoreLink(layoutBox("chkMoreLink", QStringLiteral("Show 'more...' link after"), this)),
      m_txtMoreLink(new QLineEdit(QStringLiteral("80"), this)),
      m_chkSelectAll(layoutBox("chkSelectAll", QStringLiteral("Select All"), this)),
      m_templates(new TemplateChoiceWidget(prompt, this)) {
    setObjectName(QStringLiteral("pgLayout"));
    m_icbRecordsPerPage->setObjectName(QStringLiteral("icbRecordsPerPage"));
    m_icbRecordsPerPage->setAccessibleName(QStringLiteral("Records per page"));
    m_cmdInitialOrderBy->setObjectName(QStringLiteral("cmdInitialOrderBy"));
    m_txtMoreLink->setObjectName(QStringLiteral("txtMoreLink"));
    m_txtMoreLink->setAccessibleName(QStringLiteral("characters"));
    m_txtMoreLink->setMaximumWidth(60);
    // Only digits: a length the pages cannot use is never typed in.
    m_txtMoreLink->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), this));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Customize the layout of the ASP form."), this));
    auto* grid = new QGridLayout;
    grid->addWidget(m_chkPrinterFriendlyVersion, 0, 0);
    grid->addWidget(m_chkExportTo, 1, 0);
    grid->addWidget(m_chkRecordsPerPage, 2, 0);
    grid->addWidget(m_icbRecordsPerPage, 2, 1);
    grid->addWidget(m_chkInitialOrderBy, 3, 0);
    grid->addWidget(m_cmdInitialOrderBy, 3, 1);
    grid->addWidget(m_chkMoreLink, 4, 0);
    auto* moreLink = new QHBoxLayout;
    moreLink->addWidget(m_txtMoreLink);
    auto* characters = new QLabel(QStringLiteral("characters"), this);
    characters->setBuddy(m_txtMoreLink);
    moreLink->addWidget(characters);
    moreLink->addStretch();
    grid->addLayout(moreLink, 4, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    layout->addWidget(m_chkSelectAll);
    layout->addSpacing(12);
    layout->addWidget(m_templates);
    layout->addStretch();

    // Its state, however changed (a click, Space, a screen reader's toggle),
    // applies to the boxes above it; nothing else sets it.
    connect(m_chkSelectAll, &QCheckBox::toggled, this, &LayoutPage::onSelectAllToggled);
    connect(m_cmdInitialOrderBy, &QPushButton::clicked, this, &LayoutPage::orderDetailsRequested);
}

void LayoutPage::fill(const LayoutChoice& choice, bool pageSupport, bool initialSort) {
    m_chkPrinterFriendlyVersion->setChecked(choice.printerFriendly);
    m_chkExportTo->setChecked(choice.exportOption);
    m_chkRecordsPerPage->setChecked(choice.recordsPerPage);
    m_chkInitialOrderBy->setChecked(choice.initialOrder);
    m_chkMoreLink->setChecked(choice.moreLink);
    m_chkRecordsPerPage->setEnabled(pageSupport);
    m_icbRecordsPerPage->setEnabled(pageSupport);
    m_chkInitialOrderBy->setEnabled(initialSort);
    m_cmdInitialOrderBy->setEnabled(initialSort);
    m_txtMoreLink->setText(choice.moreLinkText);

    m_icbRecordsPerPage->clear();
    for (const LayoutStep::RecordsPerPageEntry& entry : LayoutStep::recordsPerPageEntries())
        m_icbRecordsPerPage->addItem(entry.text, entry.tag);
    m_icbRecordsPerPage->setCurrentIndex(
        choice.recordsPerPageTag ? LayoutStep::recordsPerPageIndex(*choice.recordsPerPageTag) : -1);

    // "no template" and the store's templates; a stored template that is gone
    // leaves "no template" chosen.
    m_templates->fill();
    m_templates->showProject(choice.templateName);
}

QComboBox* LayoutPage::icbTemplate() const {
    return m_templates->templateBox();
}

LayoutChoice LayoutPage::choice() const {
    LayoutChoice choice;
    choice.printerFriendly = m_chkPrinterFriendlyVersion->isChecked();
    choice.exportOption = m_chkExportTo->isChecked();
    choice.recordsPerPage = m_chkRecordsPerPage->isChecked();
    if (m_icbRecordsPerPage->currentIndex() >= 0)
        choice.recordsPerPageTag = m_icbRecordsPerPage->currentData().toInt();
    choice.initialOrder = m_chkInitialOrderBy->isChecked();
    choice.moreLink = m_chkMoreLink->isChecked();
    choice.moreLinkText = m_txtMoreLink->text();
    choice.templateName = m_templates->selectedTemplate();
    return choice;
}

void LayoutPage::onSelectAllToggled() {
    const bool selected = m_chkSelectAll->isChecked();
    for (QCheckBox* box : {m_chkPrinterFriendlyVersion, m_chkExportTo, m_chkRecordsPerPage,
                           m_chkInitialOrderBy, m_chkMoreLink})
        box->setChecked(selected);
}

} // namespace ordwick
