#include "wizard/columncustomizationstep.h"
#include "wizard/columnencodings.h"
#include "wizard/columnorderstep.h"
#include "wizard/tablestep.h"

#include <QtTest>

using namespace ordwick;
namespace Enc = ordwick::ColumnEncoding;
using Step = ColumnCustomizationStep;

namespace {

Project projectOf(const QStringList& names) {
    Project p;
    for (const QString& name : names) {
        ColumnSettings c;
        c.ColumnName = name;
        c.ListCaption = name;
        c.EditCaption = name;
        c.MaxLength = 10;
        c.DataType = 4;
        p.Columns.push_back(c);
    }
    return p;
}

ColumnRow included(const QString& name, const QString& length = {}) {
    return {QStringLiteral("UNCHECK"), QStringLiteral("CHECK"), name,
            QStringLiteral("TEXT"),    QStringLiteral("Text"),  length};
}

} // namespace

class ColumnRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void codesAndWords() {
        QCOMPARE(Enc::alignmentText(0), QStringLiteral("Left"));
        QCOMPARE(Enc::alignmentText(2), QStringLiteral("Right"));
        QCOMPARE(Enc::alignmentText(3), QString());
        QCOMPARE(Enc::alignmentText(-1), QString());
        QCOMPARE(Enc::alignmentCode(QStringLiteral("left")), 0);
        QCOMPARE(Enc::alignmentCode(QStringLiteral("Center")), 1);
        QCOMPARE(Enc::alignmentCode(QStringLiteral("Right")), 2);
        QCOMPARE(Enc::editTypeText(0), QString());
        QCOMPARE(Enc::editTypeText(8), QStringLiteral("Lookup field"));
        QCOMPARE(Enc::editTypeText(9), QStringLiteral("Readonly"));
        QCOMPARE(Enc::editTypeText(10), QString());
        QCOMPARE(Enc::editTypeCode(QString()), 0);
        QCOMPARE(Enc::editTypeCode(QStringLiteral("Text Field")), 0);
        QCOMPARE(Enc::editTypeCode(QStringLiteral("Text field")), 1);
        QCOMPARE(Enc::editTypeCode(QStringLiteral("Date field")), 7);
        QCOMPARE(Enc::validationText(1), QStringLiteral("Creditcard"));
        QCOMPARE(Enc::validationText(2), QStringLiteral("Currency"));
        QCOMPARE(Enc::validationText(9), QString());
        QCOMPARE(Enc::validationCode(QStringLiteral("Creditcard")), 1);
        QCOMPARE(Enc::validationCode(QStringLiteral("Currency")), 2);
        QCOMPARE(Enc::validationCode(QStringLiteral("Zip")), 8);
        QCOMPARE(Enc::validationCode(QStringLiteral("zip")), 0);
        // The drop-down offers Currency before Creditcard.
        QCOMPARE(
            Enc::validationItems().mid(0, 3),
            (QStringList{QString(), QStringLiteral("Currency"), QStringLiteral("Creditcard")}));
    }

    void dateTypesAndViewFormats() {
        QCOMPARE(Enc::dateTypeText(QString()), QStringLiteral("Normal date"));
        QCOMPARE(Enc::dateTypeText(QStringLiteral("abc")), QStringLiteral("Normal date"));
        QCOMPARE(Enc::dateTypeText(QStringLiteral("0")), QStringLiteral("Normal date"));
        QCOMPARE(Enc::dateTypeText(QStringLiteral("1")), QStringLiteral("American date"));
        QCOMPARE(Enc::dateTypeText(QStringLiteral("2")), QStringLiteral("British date"));
        QCOMPARE(Enc::dateTypeText(QStringLiteral("5")), QString());
        QCOMPARE(Enc::formatText(false, false, false), QString());
        QCOMPARE(Enc::formatText(true, true, true), QStringLiteral("Bold, Italics, Underline"));
        QCOMPARE(Enc::formatText(false, true, false), QStringLiteral("Italics"));
        QCOMPARE(Enc::formatText(true, false, true), QStringLiteral("Bold, Underline"));
        QCOMPARE(Enc::viewFormat(QStringLiteral("Bold, Italics")),
                 (Enc::ViewFormat{true, true, false}));
        QCOMPARE(Enc::viewFormat(QStringLiteral("Italics; Underline")),
                 (Enc::ViewFormat{false, true, true}));
        QCOMPARE(Enc::viewFormat(QStringLiteral("bold")), (Enc::ViewFormat{}));
        QCOMPARE(Enc::formatSelection(QStringLiteral("Bold, Underline"), QLatin1Char(';')),
                 QStringLiteral("Bold;Underline"));
    }

    void iconKeysAndCategories() {
        QCOMPARE(Enc::gridIconKeys().size(), 23);
        QCOMPARE(Enc::iconIndex(QStringLiteral("CHECK")), 0);
        QCOMPARE(Enc::iconIndex(QStringLiteral("ROW")), 3);
        QCOMPARE(Enc::iconIndex(QStringLiteral("RIGHTALIGN")), 10);
        QCOMPARE(Enc::iconIndex(QStringLiteral("TEXT")), 18);
        QCOMPARE(Enc::iconIndex(QStringLiteral("TASKOVER")), 22);
        QCOMPARE(Enc::iconIndex(QStringLiteral("BYTE")), -1);
        QCOMPARE(Enc::iconIndex(QStringLiteral("DOUBLE")), -1);
        QCOMPARE(Enc::iconKeyAt(17), QStringLiteral("CURRENCY"));
        QCOMPARE(Enc::iconKeyAt(23), QString());
        QCOMPARE(Enc::dataTypeIconKey(2), QStringLiteral("NUMBER"));
        QCOMPARE(Enc::dataTypeIconKey(3), QStringLiteral("NUMBER"));
        QCOMPARE(Enc::dataTypeIconKey(5), QStringLiteral("TEXT"));
        QCOMPARE(Enc::dataTypeIconKey(8), QStringLiteral("DATETIME"));
        QCOMPARE(Enc::dataTypeIconKey(0), QString());
    }

    void orderFollowsStoredPositions() {
        Project p = projectOf(
            {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        p.Columns[0].Position = 3;
        p.Columns[1].Position = 1;
        p.Columns[2].Position = 0; // added after the save
        p.Columns[3].Position = 2;
        QCOMPARE(ColumnOrderStep::orderedNames(p),
                 (QStringList{QStringLiteral("B"), QStringLiteral("D"), QStringLiteral("A"),
                              QStringLiteral("C")}));
        // No position yet: creation order.
        QCOMPARE(ColumnOrderStep::orderedNames(
                     projectOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})),
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        // A(1) B(2) C(3) opened with A left out: the gap loses nobody.
        Project gap = projectOf({QStringLiteral("C"), QStringLiteral("B")});
        gap.Columns[0].Position = 3;
        gap.Columns[1].Position = 2;
        QCOMPARE(ColumnOrderStep::orderedNames(gap),
                 (QStringList{QStringLiteral("B"), QStringLiteral("C")}));
        ColumnOrderStep::apply(p, {QStringLiteral("D"), QStringLiteral("C"), QStringLiteral("B"),
                                   QStringLiteral("A")});
        QCOMPARE(p.Columns[0].Position, 4);
        QCOMPARE(p.Columns[3].Position, 1);
        QCOMPARE(ColumnOrderStep::namesByPosition(p),
                 (QStringList{QStringLiteral("D"), QStringLiteral("C"), QStringLiteral("B"),
                              QStringLiteral("A")}));
    }

    void movesStopAtTheEnds() {
        QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        auto move = ColumnOrderStep::move(names, -1, true);
        QCOMPARE(move.refusal, std::optional(QStringLiteral("Please select a column to move!")));
        move = ColumnOrderStep::move(names, 0, true);
        QCOMPARE(move.refusal, std::nullopt);
        QCOMPARE(move.selection, 0);
        move = ColumnOrderStep::move(names, 2, false);
        QCOMPARE(move.selection, 2);
        QCOMPARE(names,
                 (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
        move = ColumnOrderStep::move(names, 2, true);
        QCOMPARE(move.selection, 1);
        QCOMPARE(names,
                 (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B")}));
    }

    void cellCommitsAndRefusals() {
        CustomizationRow row;
        row.caption = QStringLiteral("Name");
        row.width = QStringLiteral("30");
        QCOMPARE(Step::commit(row, Step::Name, QString()),
                 std::optional(QStringLiteral("Please specify a column value!")));
        QCOMPARE(Step::commit(row, Step::Name, QStringLiteral("   ")), std::nullopt);
        QCOMPARE(row.caption, QStringLiteral("   "));
        QCOMPARE(Step::commit(row, Step::Name, QStringLiteral("a;b")),
                 std::optional(QStringLiteral("Please specify a value without \";\"!")));
        QCOMPARE(Step::commit(row, Step::Default, QStringLiteral("x;")),
                 std::optional(QStringLiteral("Please specify a value without \";\"!")));
        for (const QString& pasted :
             {QStringLiteral("two\r\nlines"), QStringLiteral("tab\tbed"), QStringLiteral("bell\a")})
            QCOMPARE(Step::commit(row, Step::Default, pasted),
                     std::optional(QStringLiteral("Please specify a value without line breaks or "
                                                  "other control characters!")));
        QCOMPARE(Step::commit(row, Step::Width, QStringLiteral("abc")),
                 std::optional(QStringLiteral("Please specify a numeric value!")));
        QCOMPARE(Step::commit(row, Step::Width, QStringLiteral("   ")), std::nullopt);
        QCOMPARE(row.width, QStringLiteral("30"));
        QCOMPARE(Step::commit(row, Step::Length, QStringLiteral(" 12 ")), std::nullopt);
        QCOMPARE(row.length, QStringLiteral("12"));
        QCOMPARE(Step::commit(row, Step::ViewFormat, QStringLiteral("Bold; Underline")),
                 std::nullopt);
        QCOMPARE(row.format, QStringLiteral("Bold, Underline"));

        QCOMPARE(Step::commit(row, Step::EditAs, QStringLiteral("Lookup field")), std::nullopt);
        QCOMPARE(row.more, QStringLiteral("more"));
        QCOMPARE(Step::moreColour(row), QColor(0xFF, 0xC0, 0xC0));
        Step::setDetails(row, QStringLiteral("One, Two"));
        QCOMPARE(Step::moreColour(row), QColor(0xC0, 0xFF, 0xC0));
        QCOMPARE(Step::commit(row, Step::EditAs, QStringLiteral("Text field")), std::nullopt);
        QCOMPARE(row.more, QString());
        QCOMPARE(Step::moreColour(row), QColor(Qt::white));

        row.display = QStringLiteral("KEY");
        Step::toggle(row, Step::Display);
        QCOMPARE(row.display, QStringLiteral("CHECK"));
        Step::toggle(row, Step::Display);
        QCOMPARE(row.display, QStringLiteral("UNCHECK"));
    }

    void fillAndApplyRoundTrip() {
        Project p = projectOf({QStringLiteral("ID"), QStringLiteral("Born")});
        ColumnSettings& born = p.Columns[1];
        born.ListBold = true;
        born.ListUnderline = true;
        born.EditAlignment = 2;
        born.EditType = 7;
        born.ValidationType = 1;
        born.Details = QStringLiteral("1");
        const QStringList order{QStringLiteral("Born"), QStringLiteral("ID")};
        auto list = Step::fill(p, order, false);
        auto edit = Step::fill(p, order, true);
        QCOMPARE(list.size(), size_t{2});
        QCOMPARE(list[0].name, QStringLiteral("Born"));
        QCOMPARE(list[0].format, QStringLiteral("Bold, Underline"));
        QCOMPARE(list[0].display, QStringLiteral("CHECK"));
        QCOMPARE(list[0].typeIcon, QStringLiteral("TEXT"));
        QCOMPARE(edit[0].alignment, QStringLiteral("Right"));
        QCOMPARE(edit[0].editAs, QStringLiteral("Date field"));
        QCOMPARE(edit[0].validation, QStringLiteral("Creditcard"));
        QCOMPARE(edit[0].more, QStringLiteral("more"));
        QCOMPARE(edit[0].width, QStringLiteral("30"));
        QCOMPARE(edit[0].length, QStringLiteral("10"));
        const Project before = p;
        QCOMPARE(Step::apply(p, list, edit), std::nullopt);
        QCOMPARE(p, before); // an unchanged grid keeps every setting

        // A row without details stops the walk; rows before it are kept.
        edit[1].editAs = QStringLiteral("Radio button");
        edit[1].more = QStringLiteral("more");
        edit[0].caption = QStringLiteral("Birthday");
        edit[0].editAs = QStringLiteral("Text field");
        edit[0].more.clear();
        edit[0].details = QStringLiteral("  "); // blank keeps the stored details
        list[1].caption = QStringLiteral("Number");
        QCOMPARE(Step::apply(p, list, edit),
                 std::optional(QStringLiteral(
                     "You have not specified details of Radio button details for ID!")));
        QCOMPARE(p.Columns[0].ListCaption, QStringLiteral("Number"));
        QCOMPARE(p.Columns[1].EditCaption, QStringLiteral("Birthday"));
        QCOMPARE(p.Columns[1].Details, QStringLiteral("1"));
        QCOMPARE(p.Columns[1].EditType, 1);
        QCOMPARE(p.Columns[0].EditType, 0);
    }

    void dateTypeQuestionTexts() {
        QCOMPARE(Step::dateTypeQuestion(QStringLiteral("2")),
                 QStringLiteral("Select the date type of the date field\r\n\r\nSelected date "
                                "type: British date\r\n"));
        QCOMPARE(Step::dateTypeButtons(),
                 (QStringList{QStringLiteral("Normal"), QStringLiteral("American"),
                              QStringLiteral("British")}));
    }

    void tableStepMergesByOrigin() {
        // Re-included columns start afresh; an opened project keeps captions
        // and lengths but gets the width again; a null length gives 10.
        Project p;
        std::vector<ColumnRow> rows{included(QStringLiteral("A"), QStringLiteral("50")),
                                    included(QStringLiteral("B"))};
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 0), std::nullopt);
        QCOMPARE(p.Columns[0].MaxLength, 50);
        QCOMPARE(p.Columns[1].MaxLength, 10);
        p.Columns[0].ListCaption = QStringLiteral("Alpha");
        p.Columns[0].FieldWidth = 12;
        p.Columns[0].MaxLength = 7;
        p.Columns[1].ListCaption = QStringLiteral("Beta");
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 1), std::nullopt);
        QCOMPARE(p.Columns[0].ListCaption, QStringLiteral("Alpha"));
        QCOMPARE(p.Columns[0].FieldWidth, 30);
        QCOMPARE(p.Columns[0].MaxLength, 7);
        rows[1].includeMarker = QStringLiteral("UNCHECK");
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 1), std::nullopt);
        rows[1].includeMarker = QStringLiteral("CHECK");
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 1), std::nullopt);
        QCOMPARE(p.Columns[1].ListCaption, QStringLiteral("B"));
        QCOMPARE(TableStep::apply(p, QStringLiteral("T"), rows, false, 0), std::nullopt);
        QCOMPARE(p.Columns[0].ListCaption, QStringLiteral("A"));
        QCOMPARE(p.Columns[0].MaxLength, 50);
    }
};

QTEST_GUILESS_MAIN(ColumnRulesTest)
#include "tst_columnrules.moc"
