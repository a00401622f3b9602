// Sites over the Windows desktop drivers' sources served by the preview host.
#include "preview/previewhost.h"
#include "previewtesting.h"

#include <QtTest>

using namespace previewtest;

class PreviewDesktopTest : public QObject {
    Q_OBJECT
};

QTEST_MAIN(PreviewDesktopTest)
#include "tst_preview_desktop.moc"
