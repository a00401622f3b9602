// The message boxes the program really shows: their buttons, and what Escape,
// the close box and the keyboard answer.
#include "shell/widgetprompt.h"
#include "wizard/datasourcepage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace ordwick;

namespace {

// Acts on the box once it is up, then returns the answer it gave.
int answerWith(const Prompt::Message& message, std::function<void(QMessageBox&)> act,
               QStringList* shownButtons = nullptr) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        if (shownButtons != nullptr) {
            for (QAbstractButton* button : box->buttons()) {
                if (button->isVisibleTo(box))
                    shownButtons->append(button->text());
            }
        }
        act(*box);
    });
    WidgetPrompt prompt;
    return prompt.show(message);
}

Prompt::Message errorBox() {
    return {QStringLiteral("Tessaline"),
            QStringLiteral("Disk full"),
            Prompt::Icon::Warning,
            Prompt::Buttons::AbortRetryIgnore,
            {}};
}

Prompt::Message dateTypeQuestion() {
    return {QStringLiteral("Select Date Type"),
            QStringLiteral("Select the date type"),
            Prompt::Icon::Question,
            Prompt::Buttons::AbortRetryIgnore,
            {QStringLiteral("Normal"), QStringLiteral("American"), QStringLiteral("British")}};
}

void pressEscape(QMessageBox& box) {
    QTest::keyClick(&box, Qt::Key_Escape);
}

void closeBox(QMessageBox& box) {
    box.close();
}

} // namespace

class TestWidgetPrompt : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void escapeAndCloseOnTheErrorBoxCarryOn() {
        QStringList buttons;
        QCOMPARE(answerWith(errorBox(), pressEscape, &buttons), int(Prompt::Ignore));
        QCOMPARE(buttons.size(), 3);
        QCOMPARE(answerWith(errorBox(), closeBox), int(Prompt::Ignore));
    }

    void buttonsOfTheErrorBoxAnswerTheirCodes() {
        const auto click = [](QMessageBox::StandardButton which) {
            return [which](QMessageBox& box) { box.button(which)->click(); };
        };
        QCOMPARE(answerWith(errorBox(), click(QMessageBox::Abort)), 3);
        QCOMPARE(answerWith(errorBox(), click(QMessageBox::Retry)), 4);
        QCOMPARE(answerWith(errorBox(), click(QMessageBox::Ignore)), 5);
    }

    void relabelledQuestionShowsItsLabelsAndEscapeChoosesNothing() {
        QStringList buttons;
        QCOMPARE(answerWith(dateTypeQuestion(), pressEscape, &buttons), int(Prompt::Cancel));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("American"), QStringLiteral("British"),
                                       QStringLiteral("Normal")}));
        QCOMPARE(answerWith(dateTypeQuestion(), closeBox), int(Prompt::Cancel));
        QCOMPARE(answerWith(dateTypeQuestion(),
                            [](QMessageBox& box) {
                                for (QAbstractButton* button : box.buttons()) {
                                    if (button->text() == QLatin1String("American"))
                                        button->click();
                                }
                            }),
                 int(Prompt::Retry));
    }

    void fileFiltersShowTheirWordsOnce() {
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types != nullptr);
            for (int i = 0; i < types->count(); ++i)
                shown.append(types->itemText(i));
            dialog->reject();
        });
        WidgetPrompt prompt;
        const QString chosen = prompt.openFileName({QStringLiteral("Select Data Source File"),
                                                    DataSourcePage::dataFileFilter(),
                                                    QStringLiteral("mdb"), QDir::tempPath()});
        QCOMPARE(chosen, QString());
        QCOMPARE(shown, (QStringList{QStringLiteral("MS Access Database (*.mdb)"),
                                     QStringLiteral("MS Excel Worksheet (*.xls)"),
                                     QStringLiteral("dBase File (*.dbf)"),
                                     QStringLiteral("Text File (*.txt, *.csv, *.asc, *.tab)"),
                                     QStringLiteral("SQLite Database (*.db;*.sqlite)")}));
    }

    void escapeOnAQuestionAnswersNo() {
        const Prompt::Message question{QStringLiteral("Tessaline"),
                                       QStringLiteral("Exit?"),
                                       Prompt::Icon::Question,
                                       Prompt::Buttons::YesNo,
                                       {}};
        QCOMPARE(answerWith(question, pressEscape), int(Prompt::No));
        QCOMPARE(answerWith(question, closeBox), int(Prompt::No));
    }
};

QTEST_MAIN(TestWidgetPrompt)
#include "tst_widgetprompt.moc"
