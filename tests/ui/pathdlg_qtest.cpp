#include "support/SettingsKey.h"
#include "support/TickCount.h"
#include "tests/ui/ModalSupport.h"
#include "ui/PathDlg.h"
#include "ui/PathDlgList.h"
#include "ui/PathDlgTree.h"
#include "ui/PathFunctions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>

namespace {

void MakeFolders(const QString& base, const QStringList& names)
{
    for (const QString& name : names)
        QVERIFY(QDir(base).mkpath(name));
}

void MakeFile(const QString& path)
{
    std::ofstream(QFile::encodeName(path).toStdString()) << "x";
}

}  // namespace

class PathDlgTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settingsDir_;
    QTemporaryDir work_;

    static QLineEdit* PathEdit(CPathDlg& dlg) { return dlg.findChild<QComboBox*>(QStringLiteral("pathField"))->lineEdit(); }
    static CPathDlgList* List(CPathDlg& dlg) { return dlg.findChild<CPathDlgList*>(QStringLiteral("folderList")); }
    static QCheckBox* Check(CPathDlg& dlg, const char* name) { return dlg.findChild<QCheckBox*>(QString::fromLatin1(name)); }

    // Opens the dialog in list mode with the path field and waits for the first list.
    static void StartListMode(CPathDlg& dlg, const QString& path, unsigned options = CPathDlg::kGameOptions)
    {
        dlg.SetPath(path);
        dlg.Start(options);
        Check(dlg, "breadcrumbCheck")->setChecked(false);
        Check(dlg, "treeCheck")->setChecked(false);
        QTRY_VERIFY(!dlg.IsListing());
    }

    static void TypePath(CPathDlg& dlg, const QString& path, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QLineEdit* edit = PathEdit(dlg);
        edit->clear();
        QTest::keyClicks(edit, path);
        QTest::keyClick(edit, Qt::Key_Return, modifiers);
    }

    static void DoubleClick(CPathDlgList* list, int row)
    {
        const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    QString Work(const QString& name = {}) const { return name.isEmpty() ? work_.path() : work_.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir_.isValid());
        QVERIFY(work_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
    }

    void startFallsBack_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<QString>("expected");
        const QString folder = Work(QStringLiteral("fallback"));
        QTest::newRow("empty takes the current folder") << QString() << 3u << QDir::currentPath();
        QTest::newRow("missing with must-exist") << folder + QStringLiteral("/nothing") << 1u << QDir::currentPath();
        QTest::newRow("missing without must-exist") << folder + QStringLiteral("/nothing") << 0u << folder + QStringLiteral("/nothing");
        QTest::newRow("file takes its folder") << folder + QStringLiteral("/file.txt") << 3u << folder;
    }

    void startFallsBack()
    {
        QFETCH(QString, start);
        QFETCH(unsigned, options);
        QFETCH(QString, expected);
        MakeFolders(Work(), {QStringLiteral("fallback")});
        MakeFile(Work(QStringLiteral("fallback/file.txt")));
        CPathDlg dlg;
        StartListMode(dlg, start, options);
        QCOMPARE(dlg.ShownFolder(), expected);
        QCOMPARE(PathEdit(dlg)->text(), expected);
    }

    void rootStaysWhole()
    {
        CPathDlg dlg;
        StartListMode(dlg, QStringLiteral("/"));
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("upButton")), Qt::LeftButton);
        QCOMPARE(dlg.ShownFolder(), QStringLiteral("/"));
        QTest::keyClick(PathEdit(dlg), Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetPath(0), QStringLiteral("/"));
        QCOMPARE(dlg.GetPath(1), QStringLiteral("/"));
    }

    void treeModeConfirmsAtOnce()
    {
        const QString base = Work(QStringLiteral("tree"));
        MakeFolders(base, {QStringLiteral("one"), QStringLiteral("two")});
        CPathDlg dlg;
        StartListMode(dlg, base + QStringLiteral("/one"));
        Check(dlg, "treeCheck")->setChecked(true);
        QVERIFY(dlg.TreeMode());
        QVERIFY(dlg.findChild<QWidget*>(QStringLiteral("folderTree"))->isVisible());
        QVERIFY(!List(dlg)->isVisible());
        // Ctrl+Enter only shows the typed folder in the tree.
        TypePath(dlg, base + QStringLiteral("/two"), Qt::ControlModifier);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.findChild<CPathDlgTree*>(QStringLiteral("folderTree"))->SelectedPath(), base + QStringLiteral("/two"));
        TypePath(dlg, base + QStringLiteral("/two"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetPath(0), base + QStringLiteral("/two"));
    }

    void secondEnterChecksThePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("cannot create below a file") << QStringLiteral("errors/file/sub") << 3u << QStringLiteral("Der Pfad kann nicht erzeugt werden !");
        QTest::newRow("missing without create") << QStringLiteral("errors/missing") << 1u << QStringLiteral("Der Pfad existiert nicht !");
        QTest::newRow("a file is not a folder") << QStringLiteral("errors/file") << 0u << QString();
        QTest::newRow("create makes every level") << QStringLiteral("errors/a/b/c") << 3u << QString();
        QTest::newRow("an existing folder") << QStringLiteral("errors/folder") << 3u << QString();
    }

    void secondEnterChecksThePath()
    {
        QFETCH(QString, path);
        QFETCH(unsigned, options);
        QFETCH(QString, message);
        MakeFolders(Work(), {QStringLiteral("errors/folder")});
        MakeFile(Work(QStringLiteral("errors/file")));
        CPathDlg dlg;
        StartListMode(dlg, Work(QStringLiteral("errors")), options);
        TypePath(dlg, Work(path) + QLatin1Char('/'));  // the first Enter only shows the path
        QVERIFY(dlg.isVisible());
        QTRY_VERIFY(!dlg.IsListing());
        if (message.isEmpty()) {
            // Without any check a file's path is taken as it is; a missing folder is made.
            QTest::keyClick(PathEdit(dlg), Qt::Key_Return);
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QVERIFY(QFileInfo::exists(Work(path)));
            QCOMPARE(dlg.GetPath(0), Work(path));
            QCOMPARE(dlg.GetPath(1), Work(path) + QLatin1Char('/'));
            QCOMPARE(dlg.History().Entries().front(), QFile::encodeName(Work(path)).toStdString());
            return;
        }
        SeenMessage box;
        WhenShown<QMessageBox>(CloseMessage(box));
        QTest::keyClick(PathEdit(dlg), Qt::Key_Return);
        QCOMPARE(box.text, message);
        QCOMPARE(box.caption, QStringLiteral("Fehler"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QVERIFY(dlg.isVisible());
        QCOMPARE(PathEdit(dlg)->text(), Work(path));
        dlg.reject();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void doubleClickAndUp()
    {
        const QString base = Work(QStringLiteral("walk"));
        MakeFolders(base, {QStringLiteral("down/deeper")});
        CPathDlg dlg;
        StartListMode(dlg, base);
        const int depth = static_cast<int>(PathLevels(base).size()) - 1;
        CPathDlgList* list = List(dlg);
        QTRY_VERIFY(list->visualRect(list->model()->index(depth + 1, 0)).isValid());
        DoubleClick(list, depth + 1);
        QCOMPARE(dlg.ShownFolder(), base + QStringLiteral("/down"));
        QTRY_VERIFY(!dlg.IsListing());

        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("upButton")), Qt::LeftButton);
        QCOMPARE(dlg.ShownFolder(), base);
        QTRY_VERIFY(!dlg.IsListing());

        // Enter in the list goes to the selected item and never closes.
        list->setFocus();
        list->SelectRow(depth - 1);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.ShownFolder(), Work());
        QTRY_VERIFY(!dlg.IsListing());

        // A double click on the current folder confirms it.
        QTRY_VERIFY(list->visualRect(list->model()->index(depth - 1, 0)).isValid());
        DoubleClick(list, depth - 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetPath(0), Work());
    }

    void typeAheadSteps()
    {
        const QString base = Work(QStringLiteral("typeahead"));
        MakeFolders(base, {QStringLiteral("apple"), QStringLiteral("data"), QStringLiteral("Delta"), QStringLiteral("dog"), QStringLiteral("dune")});
        CManualTicks clock(1000);
        CPathDlg dlg;
        dlg.SetClock(clock);
        StartListMode(dlg, base);
        CPathDlgList* list = List(dlg);
        list->setFocus();
        const auto selected = [list] { return list->model()->index(list->SelectedRow(), 0).data().toString(); };
        const auto type = [&](char c, std::uint32_t pause) {
            clock.Advance(pause);
            QTest::keyClick(list, c);
        };

        const char* steps[] = {"data", "Delta", "dog", "dune", "data"};
        for (const char* expected : steps) {
            type('d', 100);
            QCOMPARE(selected(), QString::fromLatin1(expected));
        }
        // "da" typed quickly finds the first name that begins with it, from "Delta" on.
        type('d', 2000);
        QCOMPARE(selected(), QStringLiteral("Delta"));
        type('d', 100);
        type('a', 100);
        QCOMPARE(selected(), QStringLiteral("data"));
        // A pause longer than 750 ms after one letter starts a new search.
        type('d', 2000);
        type('a', 800);
        QCOMPARE(selected(), QStringLiteral("apple"));
    }

    void driveSelectorFollowsThePath()
    {
        const QString volume = Work(QStringLiteral("volume"));
        MakeFolders(volume, {QStringLiteral("inner")});
        MakeFolders(Work(), {QStringLiteral("elsewhere")});
        CPathDlg dlg;
        StartListMode(dlg, Work(QStringLiteral("elsewhere")));
        auto* drives = dlg.findChild<QComboBox*>(QStringLiteral("driveSelector"));
        QTRY_VERIFY(drives->count() > 0);
        QVERIFY(drives->findData(QStringLiteral("/")) >= 0);
        QVERIFY(Work().startsWith(drives->currentData().toString()));
        const QString systemDrive = drives->currentData().toString();

        // A volume mounted below the current drive: the longest matching root wins.
        drives->addItem(QStringLiteral("Volume"), volume);
        const int volumeIndex = drives->count() - 1;
        emit drives->activated(volumeIndex);
        QCOMPARE(dlg.ShownFolder(), volume);
        QCOMPARE(drives->currentIndex(), volumeIndex);
        TypePath(dlg, volume + QStringLiteral("/inner"));
        QCOMPARE(drives->currentIndex(), volumeIndex);
        // Choosing the drive that holds the path changes nothing.
        emit drives->activated(volumeIndex);
        QCOMPARE(dlg.ShownFolder(), volume + QStringLiteral("/inner"));
        // Each drive returns to the folder last shown on it.
        emit drives->activated(drives->findData(systemDrive));
        QCOMPARE(dlg.ShownFolder(), Work(QStringLiteral("elsewhere")));
        emit drives->activated(volumeIndex);
        QCOMPARE(dlg.ShownFolder(), volume + QStringLiteral("/inner"));
        QTRY_VERIFY(!dlg.IsListing());
    }

    void modesSurviveARestart()
    {
        {
            CPathDlg dlg;
            StartListMode(dlg, Work());
            Check(dlg, "treeCheck")->setChecked(true);
            Check(dlg, "breadcrumbCheck")->setChecked(true);
        }
        {
            CPathDlg dlg;
            dlg.SetPath(Work());
            dlg.Start();
            QVERIFY(dlg.TreeMode());
            QVERIFY(dlg.BreadcrumbMode());
            QVERIFY(Check(dlg, "treeCheck")->isChecked());
            QVERIFY(dlg.findChild<QWidget*>(QStringLiteral("breadcrumb"))->isVisible());
        }
        // Without tree mode the stored value is neither used nor changed.
        {
            CPathDlg dlg;
            dlg.SetPath(Work());
            dlg.Start(CPathDlg::kGameOptions | CPathDlg::kNoTreeMode);
            QVERIFY(!dlg.TreeMode());
            QVERIFY(!Check(dlg, "treeCheck")->isVisible());
            QVERIFY(Check(dlg, "breadcrumbCheck")->isVisible());
        }
        std::uint32_t tree = 7;
        QVERIFY(CSettingsKey::Common().ReadDword("PathDlgTreeMode", tree));
        QCOMPARE(tree, 1u);
        CSettingsKey::Common().WriteDword("PathDlgTreeMode", 0);
        CSettingsKey::Common().WriteDword("PathDlgBreadCrumb", 0);
    }

    void hugeFolderKeepsTheDialogResponsive()
    {
        // Removing 20,000 folders from an overlay or journalling file system takes a minute;
        // a memory file system, where there is one, does it at once.
        const QString shm = QStringLiteral("/dev/shm");
        const bool inMemory = QFileInfo(shm).isDir() && QFileInfo(shm).isWritable();
        QTemporaryDir hugeRoot(inMemory ? shm + QStringLiteral("/pathdlg-XXXXXX") : Work(QStringLiteral("huge-XXXXXX")));
        QVERIFY(hugeRoot.isValid());
        const QString base = hugeRoot.filePath(QStringLiteral("huge"));
        QVERIFY(QDir().mkpath(base));
        constexpr int kFolders = 20000;
        for (int i = 0; i < kFolders; ++i)
            QVERIFY(QDir().mkdir(base + QStringLiteral("/folder%1").arg(i, 5, 10, QLatin1Char('0'))));

        int ticks = 0;
        CPathDlg dlg;
        dlg.SetPath(base);
        QTimer ticker;
        const int depth = static_cast<int>(PathLevels(base).size()) - 1;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        dlg.Start(CPathDlg::kGameOptions | CPathDlg::kNoTreeMode);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.IsListing(), 60000);
        QCOMPARE(List(dlg)->model()->rowCount(), depth + 1 + kFolders);
        QVERIFY(ticks > 0);
        const QAbstractItemModel* model = List(dlg)->model();
        QCOMPARE(model->index(depth + 1, 0).data().toString(), QStringLiteral("folder00000"));
        QCOMPARE(model->index(depth + kFolders, 0).data().toString(), QStringLiteral("folder19999"));
        QCOMPARE(List(dlg)->SelectedRow(), depth);

        // Closing while the worker lists the folder returns at once.
        TypePath(dlg, Work());
        TypePath(dlg, base);
        QVERIFY(dlg.IsListing());
        QElapsedTimer closing;
        closing.start();
        dlg.reject();
        QVERIFY2(closing.elapsed() < 5000, "closing waited for the whole folder");
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

};

QTEST_MAIN(PathDlgTest)
#include "pathdlg_qtest.moc"
