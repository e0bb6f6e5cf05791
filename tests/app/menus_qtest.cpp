// The frame's flat drop-downs: pictures of the tool-bar commands, the accelerator column, items
// added or renamed later, and a drawn drop-down checked by a few pixels.
#include "TestGameView.h"

#include "app/CommandIds.h"
#include "app/MenuImages.h"
#include "app/MenuStyle.h"
#include "app/OwnerDrawMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTest>

namespace {

COwnerDrawMenu* Menu(CMainFrame* frame, int index)
{
    return qobject_cast<COwnerDrawMenu*>(frame->menuBar()->actions()[index]->menu());
}

QRgb ColourRgb(std::uint32_t colourRef)
{
    return qRgb(int(colourRef & 0xFF), int(colourRef >> 8 & 0xFF), int(colourRef >> 16 & 0xFF));
}

}  // namespace

class MenusTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(UseSettingsFolder(settingsDir_)); }

    void picturesAndAcceleratorColumn()
    {
        Started s = Start();
        const std::pair<int, std::uint16_t> expected[][3] = {
            {{0, 0}, {2, kNoImage}, {-1, 0}},            // Neu, Beenden
            {{5, 5}, {6, 6}, {0, kNoImage}},             // F5, F6, F1
            {{1, 2}, {0, kNoImage}, {-1, 0}},            // Fenster fixieren, Flache Symbolleiste
            {{0, 7}, {1, kNoImage}, {-1, 0}},            // Info, Tastenbelegung
        };
        for (int m = 0; m < 4; ++m) {
            COwnerDrawMenu* menu = Menu(s.frame, m);
            QVERIFY(menu);
            for (const auto& [position, image] : expected[m]) {
                if (position < 0)
                    continue;
                const MenuItemData* record = menu->Record(menu->actions()[position]);
                QVERIFY(record);
                QCOMPARE(record->imageIndex, image);
            }
        }
        // Every accelerator starts in one column, at least 16 pixels right of the widest label.
        COwnerDrawMenu* edit = Menu(s.frame, 1);
        int widest = 0;
        QSet<int> columns;
        for (QAction* action : edit->actions()) {
            if (const MenuItemData* record = edit->Record(action)) {
                widest = qMax(widest, edit->fontMetrics().horizontalAdvance(action->text().section(QLatin1Char('\t'), 0, 0)));
                columns.insert(record->acceleratorX);
            }
        }
        QCOMPARE(columns.size(), 1);
        QVERIFY(*columns.begin() >= widest + 16 + 16 + 4);  // the label width holds the picture column
        // Pop-up initialisation: renamed and added items are converted when the drop-down opens.
        COwnerDrawMenu* file = Menu(s.frame, 0);
        QAction* added = file->addAction(QStringLiteral("Ein sehr viel l\u00e4ngerer Eintrag als alle anderen\tF12"));
        added->setData(unsigned{CommandId::About});
        file->actions()[0]->setText(QStringLiteral("&Neu\u00a0"));
        QVERIFY(!file->Record(added));
        file->popup(QPoint(0, 0));
        QVERIFY(file->Record(added));
        QCOMPARE(file->Record(added)->imageIndex, 7);
        QCOMPARE(file->Record(file->actions()[0])->imageIndex, kNoImage);
        QCOMPARE(file->Record(file->actions()[2])->acceleratorX, file->Record(added)->acceleratorX);
        file->hide();
    }

    void drawnDropDown()
    {
        Started s = Start();
        COwnerDrawMenu* edit = Menu(s.frame, 1);
        edit->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        const QList<QAction*> items = edit->actions();
        edit->setActiveAction(items[14]);  // Sekundentick, enabled
        const QImage image = edit->grab().toImage();
        const MenuSystemColours system = CMenuStyle::SystemColours(edit->palette());
        const MenuColours colours = BlendMenuColours(system);
        const int textLeft = 16 + 4 + 3;
        auto pixel = [&](int item, int x, int dy) {
            const QRect rect = edit->actionGeometry(items[item]);
            return image.pixel(rect.left() + x, rect.top() + dy) & 0xFFFFFF;
        };
        QCOMPARE(pixel(11, 1, 1), ColourRgb(system.menu) & 0xFFFFFF);          // picture column
        QCOMPARE(pixel(11, textLeft + 60, 1), ColourRgb(colours.background) & 0xFFFFFF);
        QCOMPARE(pixel(14, 1, 1), ColourRgb(colours.selectionColumn) & 0xFFFFFF);  // selected
        QCOMPARE(pixel(14, textLeft + 100, 1), ColourRgb(colours.selection) & 0xFFFFFF);
        // The engraved separator: two lines in the column, two in the text area.
        QCOMPARE(pixel(4, 4, 3), ColourRgb(system.grayText) & 0xFFFFFF);
        QCOMPARE(pixel(4, 4, 4), ColourRgb(system.captionText) & 0xFFFFFF);
        QCOMPARE(pixel(4, textLeft + 10, 3), ColourRgb(colours.disabledDark) & 0xFFFFFF);
        QCOMPARE(pixel(4, textLeft + 10, 4), ColourRgb(colours.disabledLight) & 0xFFFFFF);
        QCOMPARE(pixel(4, textLeft + 10, 6), ColourRgb(colours.background) & 0xFFFFFF);
        // "Starte nächstes Rätsel" is disabled: its green picture turns grey.
        bool coloured = false;
        for (int x = 1; x <= 16; ++x)
            for (int y = 2; y < 17; ++y) {
                const QRgb p = pixel(5, x, y);
                coloured = coloured || qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
            }
        QVERIFY(!coloured);
        edit->hide();
    }

private:
    QTemporaryDir settingsDir_;
};

QTEST_MAIN(MenusTest)
#include "menus_qtest.moc"
