#pragma once

#include <QStandardItemModel>
#include <QWidget>

class QTreeView;

namespace ordwick {

// The task pane: bars with a caption, each holding items with a key, a caption,
// an icon key and a bold state. Items of clickable bars report their key.
class TaskPane final : public QWidget {
    Q_OBJECT
public:
    enum Role { KeyRole = Qt::UserRole + 1, IconKeyRole, ClickableRole };

    explicit TaskPane(QWidget* parent = nullptr);

    void addBar(const QString& key, const QString& caption, bool clickable);
    void addItem(const QString& barKey, const QString& key, const QString& caption,
                 const QString& iconKey = {});

    int itemCount(const QString& barKey) const;
    // Items by 1-based position within their bar.
    QString itemKey(const QString& barKey, int position) const;
    QString itemIconKey(const QString& barKey, int position) const;
    void setItemIconKey(const QString& barKey, int position, const QString& iconKey);
    bool itemBold(const QString& barKey, int position) const;
    void setItemBold(const QString& barKey, int position, bool bold);

    // Suspends drawing while many items change at once.
    void setRedraw(bool on);

    QStandardItemModel& model() { return m_model; }
    // Clicks an item as the user would.
    void click(const QString& barKey, const QString& itemKey);

Q_SIGNALS:
    void itemClicked(const QString& key);
    void closeRequested();

private:
    QStandardItem* bar(const QString& key) const;
    QStandardItem* item(const QString& barKey, int position) const;
    void activate(const QModelIndex& index);
    static void showIcon(QStandardItem& entry, const QString& iconKey);

    QStandardItemModel m_model;
    QTreeView* m_view;
};

} // namespace ordwick
