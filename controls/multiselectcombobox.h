#pragma once

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace ordwick {

class MultiSelectDropDown;

// A closed box that shows the ticked items joined by a delimiter, and a list
// that drops down below it (or above it near the bottom of the screen) with a
// check box, an optional icon and the text of every item. The keyboard stays
// with the box while the list is open, so a grid editing a cell through this
// box keeps its edit.
class MultiSelectComboBox final : public QWidget {
    Q_OBJECT
public:
    struct Item {
        QString key;
        QIcon icon;
        bool checked = false;
        bool enabled = true;
        QString text;
    };
    // Where the screen's work area is around a point; replaceable for tests.
    using WorkArea = std::function<QRect(const QPoint& globalPoint)>;

    explicit MultiSelectComboBox(QWidget* parent = nullptr);
    ~MultiSelectComboBox() override;

    QString delimiter() const { return m_delimiter; }
    void setDelimiter(const QString& delimiter);

    // The checked texts in item order, each after the first preceded by the
    // delimiter and one blank.
    QString selection() const;
    // Unchecks everything, then checks the first item matching each piece
    // (blanks stripped); pieces matching nothing are ignored.
    void setSelection(const QString& text);

    void addItem(const QString& key, const QIcon& icon, const QString& text, bool checked = false,
                 bool enabled = true);
    // 1-based; with one item or none the list becomes empty.
    void removeItem(int index);
    int itemCount() const { return static_cast<int>(m_items.size()); }
    // 1-based; nullopt outside 1..itemCount().
    std::optional<Item> item(int index) const;
    bool setItemChecked(int index, bool checked);
    // 1-based index of the first item with exactly this text, 0 when none.
    int indexForText(const QString& text) const;
    // Searches the keys, which is what a caller naming a key expects.
    int indexForKey(const QString& key) const;

    bool dropDownShowing() const;
    void showDropDown();
    // Closes the list if it is open; the ticks stay.
    void endEdit();
    MultiSelectDropDown* dropDown() const { return m_dropDown; }

    void setWorkArea(WorkArea workArea) { m_workArea = std::move(workArea); }
    // Below the box, or above it when it would pass the bottom of the work
    // area; moved left to end at its right edge, never before its top or left.
    static QRect dropDownGeometry(const QRect& boxOnScreen, const QSize& listSize,
                                  const QRect& workArea);

    QSize sizeHint() const override;

Q_SIGNALS:
    // A failure inside the control: where, what, and its number.
    void multiSelectError(const QString& module, const QString& description, int number);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class MultiSelectDropDown;
    void guarded(const QString& module, const std::function<void()>& action);
    void toggle(size_t index);

    std::vector<Item> m_items;
    QString m_delimiter = QStringLiteral(",");
    bool m_hovered = false;
    QPointer<MultiSelectDropDown> m_dropDown;
    WorkArea m_workArea;
};

// The floating list of a MultiSelectComboBox.
class MultiSelectDropDown final : public QWidget {
    Q_OBJECT
public:
    explicit MultiSelectDropDown(MultiSelectComboBox& box);

    // The highlighted item, 1-based, 0 when none.
    int hotItem() const { return m_hot; }
    // Moves the highlight by `step`, limited to the first and last items.
    void moveHot(int step);
    // Highlights item `item` (1-based, limited to the items); 0 highlights none.
    void setHot(int item);
    void tickHot();
    int itemHeight() const;
    QSize listSize() const;
    // The 1-based item under a point of this list, 0 between rows.
    int itemAt(const QPoint& point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int textOffset() const;
    QRect rowRect(int index) const;

    MultiSelectComboBox& m_box;
    int m_hot = 0;
};

} // namespace ordwick
