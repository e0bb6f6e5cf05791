// The application shell with a stand-in view: commands from every source, check marks, the
// command line, full screen, the settings, Save and Exit, and the dialogs of the "?" menu; the
// flat drop-downs: the accelerator column, items added or renamed later, and a drawn drop-down
// checked by a few pixels.
#include "TestGameView.h"

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/MenuStyle.h"
#include "app/OwnerDrawMenu.h"
#include "app/QuizmoraApp.h"
#include "tests/ui/ModalSupport.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

QToolButton* ToolButton(CMainFrame* frame, QAction* action)
{
    return qobject_cast<QToolButton*>(frame->ToolBar()->widgetForAction(action));
}

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

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(UseSettingsFolder(settingsDir_)); }
    void init() { ClearSettings(); }

    void disabledCommandRefusedFromEverySource()
    {
        Started s = Start();
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QAction* action = s.app->Router().Action(kGuardedCommand);
        QVERIFY(action);
        QToolButton* button = ToolButton(s.frame, action);
        QVERIFY(button);
        auto tryEverySource = [&] {
            action->trigger();
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(s.frame, Qt::Key_F5);
            s.app->Router().PostCommand(kGuardedCommand);
            QCoreApplication::processEvents();
            s.app->Commands().Dispatch(kGuardedCommand);
        };

        tryEverySource();
        QCOMPARE(s.view->guardedRuns, 0);
        QVERIFY(!action->isEnabled());

        s.view->guardedEnabled = true;
        QTRY_VERIFY(action->isEnabled());  // the idle update follows the rule
        tryEverySource();
        QCOMPARE(s.view->guardedRuns, 5);

        // A posted command is judged when it runs, not when it is posted.
        s.app->Router().PostCommand(kGuardedCommand);
        s.view->guardedEnabled = false;
        QCoreApplication::processEvents();
        QCOMPARE(s.view->guardedRuns, 5);
    }

    void checkMarksFollowTheRules()
    {
        Started s = Start();
        QAction* flat = s.app->Router().Action(CommandId::FlatToolBar);
        QAction* onTop = s.app->Router().Action(CommandId::StayOnTop);
        QAction* toolBar = s.app->Router().Action(CommandId::ViewToolBar);
        QVERIFY(flat->isCheckable() && flat->isChecked());
        QVERIFY(onTop->isCheckable() && !onTop->isChecked());
        QVERIFY(toolBar->isChecked());
        QVERIFY(ToolButton(s.frame, s.app->Router().Action(CommandId::About))->autoRaise());

        flat->trigger();
        QVERIFY(!flat->isChecked());
        QVERIFY(!s.frame->FlatMode());
        QVERIFY(!ToolButton(s.frame, s.app->Router().Action(CommandId::About))->autoRaise());

        onTop->trigger();
        QVERIFY(onTop->isChecked());
        QVERIFY(s.frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(s.frame->isVisible());
        onTop->trigger();
        QVERIFY(!s.frame->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        toolBar->trigger();
        QVERIFY(s.frame->ToolBar()->isHidden());
        QVERIFY(!toolBar->isChecked());
        s.app->Router().Action(CommandId::ViewStatusBar)->trigger();
        QVERIFY(s.frame->statusBar()->isHidden());
    }

    void commandLine_data()
    {
        // The arguments, and the paths the view is given, each separated by '|'.
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("fullScreen");
        QTest::addColumn<QString>("paths");
        QTest::newRow("none") << QString() << 0 << QString();
        QTest::newRow("-z") << QStringLiteral("-z") << 1 << QString();
        QTest::newRow("/Z") << QStringLiteral("/Z") << 1 << QString();
        QTest::newRow("-z twice") << QStringLiteral("-z|-Z") << 0 << QString();
        QTest::newRow("-x and lone -") << QStringLiteral("-x|-") << 0 << QString();
        QTest::newRow("paths in order") << QStringLiteral("/tmp/a|-z|b c\\|C:\\Quiz") << 1 << QStringLiteral("/tmp/a|b c\\|C:\\Quiz");
        QTest::newRow("root folder is a path") << QStringLiteral("/") << 0 << QStringLiteral("/");
    }
    void commandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(int, fullScreen);
        QFETCH(QString, paths);
        Started s = Start(arguments.split(QLatin1Char('|'), Qt::SkipEmptyParts));
        QVERIFY(s.frame);
        QCOMPARE(s.frame->FullScreenState(), 0);  // the switch is posted, not run at once
        QCoreApplication::processEvents();
        QCOMPARE(s.frame->FullScreenState() != 0 ? 1 : 0, fullScreen);
        QCOMPARE(s.frame->isFullScreen(), fullScreen == 1);
        QStringList events;  // the paths in order, then the check of the path
        for (const QString& path : paths.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            events << QStringLiteral("path:") + path;
        QCOMPARE(s.view->events, events << QStringLiteral("check"));
    }

    // The frame's own part: the bars, the key, the cursor's parking; the placement test follows
    // the window over two screens.
    void fullScreenFromNormalAndMaximized()
    {
        Started s = Start();
        s.frame->statusBar()->hide();  // hidden by the user: stays hidden
        s.frame->setGeometry(150, 120, 520, 380);
        s.frame->ToggleFullScreen();
        QCOMPARE(s.frame->FullScreenState(), 1);
        QVERIFY(s.frame->isFullScreen());
        QVERIFY(s.frame->menuBar()->isHidden());
        QVERIFY(s.frame->ToolBar()->isHidden());
        s.app->Commands().Dispatch(CommandId::FullScreen);
        QCOMPARE(s.frame->FullScreenState(), 0);
        QVERIFY(!s.frame->isFullScreen());
        QVERIFY(!s.frame->menuBar()->isHidden());
        QVERIFY(!s.frame->ToolBar()->isHidden());
        QVERIFY(s.frame->statusBar()->isHidden());

        s.frame->statusBar()->show();
        s.frame->showMaximized();
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QTest::keyClick(s.frame, Qt::Key_F10);
        QCOMPARE(s.frame->FullScreenState(), 2);
        QVERIFY(QTest::qWaitForWindowActive(s.frame));
        QTest::keyClick(s.frame, Qt::Key_F10);
        QVERIFY(s.frame->isMaximized());
        QVERIFY(!s.frame->statusBar()->isHidden());
        QCOMPARE(s.view->parkModes, (std::vector<int>{1, 0, 2, 0}));
        s.frame->showNormal();  // under the maximized window the normal one is kept
        QTRY_COMPARE(s.frame->geometry(), QRect(150, 120, 520, 380));
    }

    void settingsWrittenAndRead()
    {
        QRect outer;
        {
            Started s = Start();
            QCOMPARE(ReadSetting("IsZoomed"), 0xDEADBEEFu);  // first start: nothing stored yet
            const QRect area = s.frame->screen()->availableGeometry();
            QCOMPARE(s.frame->size(), QSize(area.width() * 3 / 4, area.height() * 3 / 4));
            s.frame->ToggleFlatMode();
            s.frame->setGeometry(120, 80, 640, 480);
            outer = s.frame->frameGeometry();  // position and size with the window's border
            QVERIFY(s.app->Commands().Dispatch(CommandId::SaveDocument));  // does nothing
            QVERIFY(s.frame->isVisible());
            s.app->Commands().Dispatch(CommandId::Exit);
            QVERIFY(!s.frame->isVisible());
        }
        QCOMPARE(ReadSetting("FlatMode"), 0u);
        QCOMPARE(ReadSetting("ShowGamerBar"), 0u);
        QCOMPARE(ReadSetting("IsZoomed"), 0u);
        QCOMPARE(QRect(int(ReadSetting("LastPosX")), int(ReadSetting("LastPosY")), int(ReadSetting("LastSizeX")),
                       int(ReadSetting("LastSizeY"))),
                 outer);
        {
            Started s = Start();
            QVERIFY(!s.frame->FlatMode());
            QVERIFY(!s.frame->StayOnTop());
            QTRY_COMPARE(s.frame->geometry(), QRect(120, 80, 640, 480));
        }
    }

    void infoDialogs_data()
    {
        QTest::addColumn<unsigned>("id");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("someText");
        QTest::newRow("about") << unsigned{CommandId::About} << QString::fromUtf8("Info über Quizmora")
                               << QStringLiteral("Quizmora Version 1.03");
        QTest::newRow("keys") << unsigned{CommandId::KeyMap} << QStringLiteral("Tastaturbelegung")
                              << QStringLiteral(": Fenster zommen");
        QTest::newRow("format") << unsigned{CommandId::FileFormat} << QStringLiteral("Dateiformat")
                                << QStringLiteral("Antworten. Bei mehreren Antworten wird   ");
    }
    void infoDialogs()
    {
        QFETCH(unsigned, id);
        QFETCH(QString, title);
        QFETCH(QString, someText);
        Started s = Start();
        QString seenTitle;
        QStringList texts;
        WhenShown<QDialog>([&](QDialog& dialog) {
            seenTitle = dialog.windowTitle();
            for (QLabel* label : dialog.findChildren<QLabel*>())
                texts << label->text();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QVERIFY(s.app->Commands().Dispatch(id));
        QCOMPARE(seenTitle, title);
        QVERIFY2(texts.contains(someText), qPrintable(texts.join(QLatin1Char('|'))));
    }

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

QTEST_MAIN(MainFrameTest)
#include "mainframe_qtest.moc"
