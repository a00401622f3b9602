#include "templates/templatechoicewidget.h"

#include "controls/iconstore.h"
#include "foundation/trap.h"
#include "templates/templatemanager.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace ordwick {

namespace {

constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 150;

} // namespace

TemplateChoiceWidget::TemplateChoiceWidget(Prompt& prompt, const TemplateStore& store,
                                           QWidget* parent)
    : QWidget(parent), m_prompt(prompt), m_choice(prompt, store), m_box(new QComboBox(this)),
      m_manage(new QPushButton(QStringLiteral("&Manage templates..."), this)),
      m_preview(new QLabel(this)) {
    // A list to pick from (not editable) that the keyboard can still walk;
    // every pick, by mouse or key, is checked.
    m_box->setObjectName(QStringLiteral("icbTemplate"));
    m_box->setAccessibleName(QStringLiteral("Template"));
    m_manage->setObjectName(QStringLiteral("cmdManageTemplate"));
    m_preview->setObjectName(QStringLiteral("picTemplate"));
    m_preview->setFixedSize(kPreviewWidth, kPreviewHeight);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_box, 0, 0);
    layout->addWidget(m_manage, 0, 1);
    layout->addWidget(m_preview, 1, 0, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(0, 1);

    connect(m_box, &QComboBox::activated, this, &TemplateChoiceWidget::onActivated);
    connect(m_manage, &QPushButton::clicked, this, &TemplateChoiceWidget::onManageClicked);
    showChoice();
}

TemplateChoiceWidget::TemplateChoiceWidget(Prompt& prompt, QWidget* parent)
    : TemplateChoiceWidget(prompt, TemplateStore::forThisUser(), parent) {}

void TemplateChoiceWidget::fill() {
    m_choice.fill();
    showChoice();
}

void TemplateChoiceWidget::showProject(const QString& selectedTemplate) {
    m_choice.showProject(selectedTemplate);
    showChoice();
}

void TemplateChoiceWidget::showChoice() {
    const QSignalBlocker blocker(m_box);
    m_box->clear();
    const QIcon icon = iconFor(QStringLiteral("TEMPLATE"));
    for (const QString& entry : m_choice.entries())
        m_box->addItem(icon, entry);
    const int row = m_choice.selected();
    m_box->setCurrentIndex(row);
    const QString previewFile = m_choice.previewOf(row);
    QPixmap picture(previewFile);
    if (picture.isNull())
        picture =
            ownPicture(row == 0 ? QStringLiteral("No template") : QStringLiteral("No preview"));
    m_preview->setPixmap(picture.scaled(m_preview->size() - QSize(4, 4), Qt::KeepAspectRatio,
                                        Qt::SmoothTransformation));
    m_preview->setAccessibleName(QStringLiteral("Preview of %1").arg(m_choice.text()));
}

void TemplateChoiceWidget::onActivated(int row) {
    const bool read =
        Trap(QStringLiteral("frmMain.icbTemplate_Click"), [this, row] { m_choice.pick(row); });
    // A template whose index cannot be read cannot frame pages either.
    if (!read)
        m_choice.selectNoTemplate();
    showChoice();
    Q_EMIT templateChanged(m_choice.text());
}

void TemplateChoiceWidget::onManageClicked() {
    TemplateManager manager(m_prompt, m_choice.store(), window());
    manager.exec();
    Trap(QStringLiteral("frmMain.cmbManageTemplate_Click"), [this] { m_choice.fill(); });
    showChoice();
    Q_EMIT templateChanged(m_choice.text());
}

QPixmap TemplateChoiceWidget::ownPicture(const QString& caption) {
    QPixmap picture(kPreviewWidth * 2, kPreviewHeight * 2);
    picture.fill(QColor(0xF4, 0xF6, 0xF9));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    // A plain page: a title bar, a table of rows and the caption.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2F, 0x4F, 0x7F));
    p.drawRect(QRectF(0, 0, picture.width(), 44));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRoundedRect(QRectF(28, 68, picture.width() - 56, 160), 6, 6);
    for (int row = 0; row < 5; ++row) {
        p.setBrush(row == 0 ? QColor(0xC9, 0xD3, 0xE3) : QColor(0xE6, 0xEA, 0xF0));
        p.drawRect(QRectF(44, 84 + row * 28, picture.width() - 88, 16));
    }
    QFont font = p.font();
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x33, 0x3D, 0x4D));
    p.drawText(QRectF(0, 236, picture.width(), 60), Qt::AlignCenter, caption);
    return picture;
}

} // namespace ordwick
