#pragma once

#include "project/project.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace ordwick {

// One row of a column customization grid, as the cells show it: Booleans as
// "CHECK"/"UNCHECK", codes as their words, numbers as text. The list page grid
// uses the list page settings and leaves the add/edit-only cells empty.
struct CustomizationRow {
    QString name;
    QString typeIcon;
    QString caption;
    QString display;
    QString required;
    QString format;
    QString alignment;
    QString editAs;
    QString width;
    QString length;
    QString defaultValue;
    QString validation;
    QString more;
    QString details;

    bool operator==(const CustomizationRow&) const = default;
};

// The "Column Customization" step: filling both grids from the column
// settings, checking and committing cell edits, and applying the grids back.
class ColumnCustomizationStep {
public:
    // Column keys, in the order of the add/edit page grid; the list page grid
    // has Icon, Column, Name, Display, ViewFormat and Alignment.
    enum Key {
        Icon,
        Column,
        Name,
        Display,
        Required,
        ViewFormat,
        Alignment,
        EditAs,
        Width,
        Length,
        Default,
        Validation,
        More,
        Details,
        KeyCount
    };
    static QString keyName(Key key);
    static QString caption(Key key);
    static int width(Key key);
    // The keys of a grid's columns, left to right.
    static const std::vector<Key>& keys(bool editPage);

    using Refusal = std::optional<QString>;

    static std::vector<CustomizationRow> fill(const Project& project, const QStringList& order,
                                              bool editPage);
    // The list grid first, then the add/edit grid; a row whose details are
    // missing stops the walk with its warning, keeping what was copied before.
    static Refusal apply(Project& project, const std::vector<CustomizationRow>& listRows,
                         const std::vector<CustomizationRow>& editRows);

    // A check-icon cell flips; anything but "CHECK" becomes "CHECK".
    static void toggle(CustomizationRow& row, Key key);
    // Ends an edit of a text or list cell: the refusal keeps the editor open.
    static Refusal commit(CustomizationRow& row, Key key, const QString& text);
    // Details given by the "more" button turn the More cell green.
    static void setDetails(CustomizationRow& row, const QString& details);

    // The More cell: green with details, light red without, white when empty.
    static QColor moreColour(const CustomizationRow& row);

    // The date type question and the code its answer stands for.
    static QString dateTypeQuestion(const QString& details);
    static QStringList dateTypeButtons();
};

} // namespace ordwick
