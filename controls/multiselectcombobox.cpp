#include "controls/multiselectcombobox.h"

#include "controls/screens.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <algorithm>
#include <cmath>
#include <exception>

namespace ordwick {

namespace {

constexpr int kImageSize = 16;
constexpr int kPageStep = 8;

// Each channel alpha * a + (255 - alpha) * b over 255, rounded halves to even.
QColor blend(const QColor& a, const QColor& b, int alpha) {
    const auto channel = [alpha](int x, int y) {
        return static_cast<int>(std::nearbyint(alpha * x / 255.0 + (255 - alpha) * y / 255.0));
    };
    return {channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue())};
}

bool hasIcons(const std::vector<MultiSelectComboBox::Item>& items) {
    return std::any_of(items.cbegin(), items.cend(),
                       [](const MultiSelectComboBox::Item& item) { return !item.icon.isNull(); });
}

} // namespace

MultiSelectComboBox::MultiSelectComboBox(QWidget* parent)
    : QWidget(parent), m_workArea(workAreaAt) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_dropDown = new MultiSelectDropDown(*this);
}

MultiSelectComboBox::~MultiSelectComboBox() {
    // The list is a window of its own: it goes with its box.
    delete m_dropDown.data();
}

void MultiSelectComboBox::guarded(const QString& module, const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        Q_EMIT multiSelectError(module, QString::fromLocal8Bit(error.what()), 0);
    }
}

void MultiSelectComboBox::setDelimiter(const QString& delimiter) {
    m_delimiter = delimiter;
    update();
}

QString MultiSelectComboBox::selection() const {
    QStringList texts;
    for (const Item& entry : m_items) {
        if (entry.checked)
            texts.append(entry.text);
    }
    return texts.join(m_delimiter + QLatin1Char(' '));
}

void MultiSelectComboBox::setSelection(const QString& text) {
    guarded(QStringLiteral("ddnMultiSelect.Prop Let Selection"), [&] {
        for (Item& entry : m_items)
            entry.checked = false;
        const QStringList pieces =
            m_delimiter.isEmpty() ? QStringList{text} : text.split(m_delimiter);
        for (const QString& piece : pieces) {
            const int index = indexForText(piece.trimmed());
            if (!piece.isEmpty() && index > 0)
                m_items[static_cast<size_t>(index - 1)].checked = true;
        }
        update();
        if (m_dropDown)
            m_dropDown->update();
    });
}

void MultiSelectComboBox::addItem(const QString& key, const QIcon& icon, const QString& text,
                                  bool checked, bool enabled) {
    guarded(QStringLiteral("ddnMultiSelect.AddItem"), [&] {
        m_items.push_back({key, icon, checked, enabled, text});
        updateGeometry();
    });
}

void MultiSelectComboBox::removeItem(int index) {
    guarded(QStringLiteral("ddnMultiSelect.RemoveItem"), [&] {
        if (m_items.size() <= 1)
            m_items.clear();
        else if (index >= 1 && index <= itemCount())
            m_items.erase(m_items.begin() + (index - 1));
        updateGeometry();
        update();
    });
}

std::optional<MultiSelectComboBox::Item> MultiSelectComboBox::item(int index) const {
    if (index < 1 || index > itemCount())
        return std::nullopt;
    return m_items[static_cast<size_t>(index - 1)];
}

bool MultiSelectComboBox::setItemChecked(int index, bool checked) {
    if (index < 1 || index > itemCount())
        return false;
    m_items[static_cast<size_t>(index - 1)].checked = checked;
    return true;
}

int MultiSelectComboBox::indexForText(const QString& text) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].text == text)
            return static_cast<int>(i + 1);
    }
    return 0;
}

int MultiSelectComboBox::indexForKey(const QString& key) const {
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].key == key)
            return static_cast<int>(i + 1);
    }
    return 0;
}

bool MultiSelectComboBox::dropDownShowing() const {
    return m_dropDown && m_dropDown->isVisible();
}

QRect MultiSelectComboBox::dropDownGeometry(const QRect& boxOnScreen, const QSize& listSize,
                                            const QRect& workArea) {
    QRect list(boxOnScreen.bottomLeft() + QPoint(0, 1), listSize);
    if (workArea.isEmpty())
        return list;
    if (list.bottom() > workArea.bottom())
        list.moveTop(list.top() - list.height() - boxOnScreen.height());
    if (list.right() > workArea.right())
        list.moveRight(workArea.right());
    if (list.top() < workArea.top())
        list.moveTop(workArea.top());
    if (list.left() < workArea.left())
        list.moveLeft(workArea.left());
    return list;
}

void MultiSelectComboBox::showDropDown() {
    guarded(QStringLiteral("ddnMultiSelect.ShowPopUp"), [&] {
        if (dropDownShowing() || !m_dropDown || !isEnabled())
            return;
        const QRect box(mapToGlobal(QPoint(0, 0)), size());
        const QPoint corner = box.bottomLeft() + QPoint(0, 1);
        const QRect geometry = dropDownGeometry(box, m_dropDown->listSize(),
                                                m_workArea ? m_workArea(corner) : QRect());
        m_dropDown->setGeometry(geometry);
        // One list serves every row of a grid: a highlight left from another
        // row must not be what Space or Enter ticks now.
        m_dropDown->setHot(0);
        m_dropDown->show();
        m_dropDown->raise();
        update();
    });
}

void MultiSelectComboBox::endEdit() {
    guarded(QStringLiteral("ddnMultiSelect.fPopupHide"), [&] {
        if (m_dropDown)
            m_dropDown->hide();
        update();
    });
}

void MultiSelectComboBox::toggle(size_t index) {
    m_items[index].checked = !m_items[index].checked;
    update();
    if (m_dropDown)
        m_dropDown->update();
    Q_EMIT selectionChanged();
}

QSize MultiSelectComboBox::sizeHint() const {
    const int height = std::max(fontMetrics().height() + 6, kImageSize + 6);
    return {120, height};
}

void MultiSelectComboBox::paintEvent(QPaintEvent*) {
    guarded(QStringLiteral("ddnMultiSelect.pPaintAsSelector"), [&] {
        QPainter painter(this);
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = false;
        option.frame = true;
        if (m_hovered)
            option.state |= QStyle::State_MouseOver;
        if (dropDownShowing())
            option.state |= QStyle::State_On | QStyle::State_Sunken;
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        const QRect textArea = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, this);
        const QString shown =
            fontMetrics().elidedText(selection(), Qt::ElideRight, textArea.width() - 2);
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        painter.drawText(textArea.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, shown);
    });
}

void MultiSelectComboBox::mousePressEvent(QMouseEvent* event) {
    guarded(QStringLiteral("ddnMultiSelect.UserControl_MouseDown"), [&] {
        if (dropDownShowing())
            endEdit();
        else
            showDropDown();
    });
    event->accept();
}

void MultiSelectComboBox::keyPressEvent(QKeyEvent* event) {
    guarded(QStringLiteral("ddnMultiSelect.UserControl_KeyDown"), [&] {
        const int key = event->key();
        if (!dropDownShowing()) {
            if (key == Qt::Key_Down || key == Qt::Key_F4)
                showDropDown();
            else
                event->ignore();
            return;
        }
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            m_dropDown->moveHot(-1);
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            m_dropDown->moveHot(1);
            break;
        case Qt::Key_PageUp:
            m_dropDown->moveHot(-kPageStep);
            break;
        case Qt::Key_PageDown:
            m_dropDown->moveHot(kPageStep);
            break;
        case Qt::Key_Home:
            m_dropDown->setHot(1);
            break;
        case Qt::Key_End:
            m_dropDown->setHot(itemCount());
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            m_dropDown->tickHot();
            break;
        case Qt::Key_Escape:
            endEdit();
            break;
        default:
            event->ignore();
            break;
        }
    });
}

void MultiSelectComboBox::enterEvent(QEnterEvent*) {
    m_hovered = true;
    update();
}

void MultiSelectComboBox::leaveEvent(QEvent*) {
    m_hovered = false;
    update();
}

void MultiSelectComboBox::hideEvent(QHideEvent*) {
    if (m_dropDown)
        m_dropDown->hide();
}

MultiSelectDropDown::MultiSelectDropDown(MultiSelectComboBox& box)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_box(box) {
    setObjectName(box.objectName() + QStringLiteral("DropDown"));
    // The box keeps the keyboard: the grid editing through it keeps its edit.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

int MultiSelectDropDown::textOffset() const {
    return hasIcons(m_box.m_items) ? 2 * kImageSize + 8 : 20;
}

int MultiSelectDropDown::itemHeight() const {
    const int base = hasIcons(m_box.m_items) ? kImageSize + 4 : 20;
    return std::max(base, fontMetrics().height() + 4);
}

QSize MultiSelectDropDown::listSize() const {
    int widest = 0;
    for (const auto& entry : m_box.m_items)
        widest = std::max(widest, textOffset() + fontMetrics().horizontalAdvance(entry.text) + 4);
    return {std::max(widest + 8, m_box.width()), itemHeight() * m_box.itemCount() + 4};
}

QRect MultiSelectDropDown::rowRect(int index) const {
    return {2, 2 + (index - 1) * itemHeight(), width() - 4, itemHeight()};
}

int MultiSelectDropDown::itemAt(const QPoint& point) const {
    for (int i = 1; i <= m_box.itemCount(); ++i) {
        if (rowRect(i).contains(point))
            return i;
    }
    return 0;
}

void MultiSelectDropDown::moveHot(int step) {
    const int count = m_box.itemCount();
    if (count == 0)
        return;
    const int target = m_hot == 0 ? (step > 0 ? 1 : count) : std::clamp(m_hot + step, 1, count);
    m_hot = target;
    update();
}

void MultiSelectDropDown::setHot(int item) {
    m_hot = std::clamp(item, 0, m_box.itemCount());
    update();
}

void MultiSelectDropDown::tickHot() {
    if (m_hot >= 1 && m_hot <= m_box.itemCount())
        m_box.toggle(static_cast<size_t>(m_hot - 1));
}

void MultiSelectDropDown::paintEvent(QPaintEvent*) {
    m_box.guarded(QStringLiteral("ddnMultiSelect.pPaintAsDropDown"), [&] {
        QPainter painter(this);
        const QPalette colours = palette();
        painter.fillRect(rect(), colours.color(QPalette::Base));
        painter.setPen(colours.color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        const bool icons = hasIcons(m_box.m_items);
        for (int i = 1; i <= m_box.itemCount(); ++i) {
            const auto& entry = m_box.m_items[static_cast<size_t>(i - 1)];
            const QRect row = rowRect(i);
            if (i == m_hot) {
                painter.fillRect(row, blend(colours.color(QPalette::Highlight),
                                            colours.color(QPalette::Base), 128));
                painter.setPen(colours.color(QPalette::Highlight));
                painter.drawRect(row.adjusted(0, 0, -1, -1));
            }
            QStyleOptionButton check;
            check.initFrom(this);
            check.rect = QRect(row.left() + 2, row.center().y() - kImageSize / 2 + 1, kImageSize,
                               kImageSize);
            check.state =
                QStyle::State_Enabled | (entry.checked ? QStyle::State_On : QStyle::State_Off);
            style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, &painter, this);
            int textLeft = check.rect.right() + 4;
            if (icons) {
                entry.icon.paint(&painter,
                                 QRect(textLeft, check.rect.top(), kImageSize, kImageSize));
                textLeft += kImageSize + 4;
            }
            const QRect textArea(textLeft, row.top(), row.right() - 2 - textLeft, row.height());
            painter.setPen(colours.color(QPalette::Text));
            painter.drawText(
                textArea, Qt::AlignVCenter | Qt::AlignLeft,
                fontMetrics().elidedText(entry.text, Qt::ElideRight, textArea.width()));
        }
    });
}

void MultiSelectDropDown::mousePressEvent(QMouseEvent* event) {
    m_box.guarded(QStringLiteral("ddnMultiSelect.UserControl_MouseDown"), [&] {
        const int index = itemAt(event->position().toPoint());
        if (index == 0)
            return;
        m_hot = index;
        m_box.toggle(static_cast<size_t>(index - 1));
    });
}

void MultiSelectDropDown::mouseMoveEvent(QMouseEvent* event) {
    const int index = itemAt(event->position().toPoint());
    if (index != m_hot) {
        m_hot = index;
        update();
    }
}

void MultiSelectDropDown::leaveEvent(QEvent*) {
    if (m_hot != 0) {
        m_hot = 0;
        update();
    }
}

} // namespace ordwick
