// The frame's flat drop-downs: pictures of the tool-bar commands, the accelerator column, items
// added or renamed later, and a drawn drop-down checked by a few pixels.
#include "TestGameView.h"

#include "app/CommandIds.h"
#include "app/MenuStyle.h"
#include "app/OwnerDrawMenu.h"

#include <QAction>
#include <QMenuBar>
#include <QTest>

namespace {

COwnerDrawMenu* Menu(CMainFrame* frame, int index)
{
    return qobject_cast<COwnerDrawMenu*>(frame->menuBar()->actions()[index]->menu());
}

// 0x00BBGGRR as the 0xRRGGBB of a QImage pixel.
QRgb Rgb(std::uint32_t colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

}  // namespace

class MenusTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(UseSettingsFolder(settingsDir_)); }

    void picturesAndAcceleratorColumn()
    {
        Started s = Start();
        // Which entry has which picture is the menu data's; here the menu's fonts and late changes.
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
        // Renamed and added items are converted when the drop-down opens.
        COwnerDrawMenu* file = Menu(s.frame, 0);
        QCOMPARE(file->Record(file->actions()[0])->imageIndex, 0);  // "Neu" has the tool bar's first
        QAction* added = file->addAction(QStringLiteral("Ein sehr viel l\u00e4ngerer Eintrag als alle anderen\tF12"));
        added->setData(unsigned{CommandId::About});
        file->actions()[0]->setText(QStringLiteral("&Neu\u00a0"));  // no picture after a no-break space
        file->popup(QPoint(0, 0));
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
        const int text = 16 + 4 + 3;
        auto pixel = [&](int item, int x, int dy) {
            const QRect rect = edit->actionGeometry(items[item]);
            return image.pixel(rect.left() + x, rect.top() + dy) & 0xFFFFFF;
        };
        QCOMPARE(pixel(11, 1, 1), Rgb(system.menu));  // the picture column
        QCOMPARE(pixel(11, text + 60, 1), Rgb(colours.background));
        QCOMPARE(pixel(14, 1, 1), Rgb(colours.selectionColumn));
        QCOMPARE(pixel(14, text + 100, 1), Rgb(colours.selection));
        // The engraved separator: two lines in the column, two in the text area.
        QCOMPARE(pixel(4, 4, 3), Rgb(system.grayText));
        QCOMPARE(pixel(4, 4, 4), Rgb(system.captionText));
        QCOMPARE(pixel(4, text + 10, 3), Rgb(colours.disabledDark));
        QCOMPARE(pixel(4, text + 10, 4), Rgb(colours.disabledLight));
        // "Starte nächstes Rätsel" is disabled: its green picture turns grey.
        for (int i = 0; i < 16 * 15; ++i) {
            const QRgb p = pixel(5, 1 + i % 16, 2 + i / 16);
            QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
        edit->hide();
    }

private:
    QTemporaryDir settingsDir_;
};

QTEST_MAIN(MenusTest)
#include "menus_qtest.moc"
