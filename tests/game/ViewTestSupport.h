#pragma once
// Helpers of the game view's tests: settings in a temporary config folder, a puzzle folder, a
// view on a manual clock alone or in the program, and the driver of modal windows.

#include "game/QuizmoraView.h"
#include "imaging/GraphicsImage.h"
#include "support/TickCount.h"
#include "tests/app/TestGameView.h"
#include "tests/game/RecordingSound.h"
#include "tests/ui/ModalSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QVariant>

#include <cstdint>
#include <string>

// Every QSettings of the test lands in a fresh folder, removed at the end.
class CConfigSandbox {
public:
    CConfigSandbox() { UseSettingsFolder(folder_); }

    // A value in the application's key as another program (or an earlier run) left it.
    void Store(const QString& name, const QVariant& value) const
    {
        QSettings settings(QStringLiteral("KQ"), QStringLiteral("Quizmora"));
        settings.setValue(name, value);
        settings.sync();
    }
    QVariant Stored(const QString& name) const
    {
        QSettings settings(QStringLiteral("KQ"), QStringLiteral("Quizmora"));
        return settings.value(name);
    }

private:
    QTemporaryDir folder_;
};

// Puzzle folders Game%03i with their Game.txt (Windows-1252 bytes) below a temporary path.
class CPuzzleFolder {
public:
    QString Path() const { return folder_.path(); }
    std::string PathText() const { return folder_.path().toStdString(); }

    void Write(int number, const QByteArray& text) const
    {
        const QString game = QStringLiteral("Game%1").arg(number, 3, 10, QLatin1Char('0'));
        QDir(folder_.path()).mkpath(game);
        QFile file(folder_.path() + QLatin1Char('/') + game + QStringLiteral("/Game.txt"));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text);
    }

private:
    QTemporaryDir folder_;
};

// Points the remote at a device no machine has, so that a test's remote reader never opens a
// real port, unless the settings name a device already.
inline void QuietRemote()
{
    QSettings settings(QStringLiteral("KQ"), QStringLiteral("Quizmora"));
    if (!settings.contains(QStringLiteral("ComDevice"))) {
        settings.setValue(QStringLiteral("ComDevice"), QStringLiteral("/nonexistent/quizmora-test-tty"));
        settings.sync();
    }
}

// A view on a manual clock, its remote quiet unless `quietRemote` is false: alone, with its
// commands in `commands` and the commands it posts in `posted`; or in the program's own frame,
// whose commands are the program's.
class CViewHarness {
public:
    explicit CViewHarness(int width = 1024, int height = 700, bool quietRemote = true)
    {
        if (quietRemote)
            QuietRemote();
        const GameViewContext context{[this](std::uint32_t id) { posted.push_back(id); }, sound, nullptr};
        ownView_ = std::make_unique<CQuizmoraView>(context, CQuizmoraView::Options{&clock});
        view = ownView_.get();
        view->RegisterCommands(commands);
        view->resize(width, height);
        view->show();
    }

    // The program started on `puzzlePath`, its frame at 1200 x 800.
    explicit CViewHarness(const QString& puzzlePath) : app(std::make_unique<CQuizmoraApp>(argcStub, argvStub))
    {
        QuietRemote();
        const auto makeView = [this](const GameViewContext& context) {
            auto made = std::make_unique<CQuizmoraView>(context, CQuizmoraView::Options{&clock});
            view = made.get();
            return made;
        };
        started_ = app->InitInstance({puzzlePath}, makeView, &sound);
        app->Frame()->resize(1200, 800);
    }

    // The program has started and its frame is the active window.
    bool Ready()
    {
        app->Frame()->activateWindow();
        return started_ && QTest::qWaitForWindowActive(app->Frame());
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(app->Frame(), key, modifiers);
    }

    CGameState& State() { return view->Engine().State(); }

    // One step of the game timer; RunFor runs it for `ms` of simulated time, one tick per period.
    void Tick() { view->TimerStep(); }
    void RunFor(std::uint32_t ms)
    {
        for (std::uint32_t elapsed = 0; elapsed < ms; elapsed += CQuizmoraView::kTimerPeriodMs) {
            clock.Advance(CQuizmoraView::kTimerPeriodMs);
            Tick();
        }
    }

    std::uint32_t Pixel(int x, int y) { return view->BackBuffer().GetPixelFn(x, y) & 0xFFFFFF; }
    // The pixels of a rectangle of the back buffer for which `is` holds.
    template <typename Is>
    int CountIf(int x, int y, int w, int h, Is is)
    {
        int count = 0;
        for (int row = y; row < y + h; ++row)
            for (int column = x; column < x + w; ++column)
                count += is(Pixel(column, row)) ? 1 : 0;
        return count;
    }

    CManualTicks clock{500000};
    CRecordingSound sound{clock};
    std::vector<std::uint32_t> posted;
    CCommandTable commands;
    CQuizmoraView* view = nullptr;
    std::unique_ptr<CQuizmoraApp> app;

private:
    bool started_ = false;
    std::unique_ptr<CQuizmoraView> ownView_;
};
