#include <QtTest>
class Placeholder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() { QSKIP("not written yet"); }
};
QTEST_GUILESS_MAIN(Placeholder)
#include "tst_registry.moc"
