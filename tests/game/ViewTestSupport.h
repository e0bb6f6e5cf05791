#pragma once
// Helpers of the game view's tests: settings in a temporary config folder, a puzzle folder, a
// view on a manual clock, and a driver for modal dialogs.

#include "app/CommandTable.h"
#include "app/GameViewInterface.h"
#include "game/QuizmoraView.h"
#include "game/SoundSink.h"
#include "imaging/GraphicsImage.h"
#include "support/TickCount.h"
#include "tests/game/RecordingSound.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Every QSettings of the test lands in a fresh folder, removed at the end.
class CConfigSandbox {
public:
    CConfigSandbox() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path()); }

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
    bool Has(const QString& name) const { return Stored(name).isValid(); }

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

// A serial device no machine has, so that a test's remote reader never opens a real port.
inline const QString kNoSuchDevice = QStringLiteral("/nonexistent/quizmora-test-tty");

// A view on a manual clock with its commands in a table of its own; posted commands are recorded.
// Unless the settings name a device already, the remote is pointed at kNoSuchDevice.
class CViewHarness {
public:
    static constexpr std::uint32_t kStart = 500000;

    explicit CViewHarness(int width = 1024, int height = 700, bool quietRemote = true)
    {
        QSettings settings(QStringLiteral("KQ"), QStringLiteral("Quizmora"));
        if (quietRemote && !settings.contains(QStringLiteral("ComDevice"))) {
            settings.setValue(QStringLiteral("ComDevice"), kNoSuchDevice);
            settings.sync();
        }
        const GameViewContext context{[this](std::uint32_t id) { posted.push_back(id); }, sound, nullptr};
        view = std::make_unique<CQuizmoraView>(context, CQuizmoraView::Options{&clock});
        view->RegisterCommands(commands);
        view->resize(width, height);
        view->show();
    }

    CGameState& State() { return view->Engine().State(); }

    // The game timer for `ms` of simulated time, one tick per period.
    void RunFor(std::uint32_t ms)
    {
        for (std::uint32_t elapsed = 0; elapsed < ms; elapsed += CQuizmoraView::kTimerPeriodMs) {
            clock.Advance(CQuizmoraView::kTimerPeriodMs);
            view->TimerStep();
        }
    }

    std::uint32_t Pixel(int x, int y) { return view->BackBuffer().GetPixelFn(x, y) & 0xFFFFFF; }

    CManualTicks clock{kStart};
    CRecordingSound sound{clock};
    std::vector<std::uint32_t> posted;
    CCommandTable commands;
    std::unique_ptr<CQuizmoraView> view;
};

// Counts the pixels of one colour in a rectangle of the view's back buffer.
inline int CountColour(CQuizmoraView& view, int x, int y, int w, int h, std::uint32_t colour)
{
    CGraphicsImage& buffer = view.BackBuffer();
    int count = 0;
    for (int row = y; row < y + h; ++row)
        for (int column = x; column < x + w; ++column)
            if ((buffer.GetPixelFn(column, row) & 0xFFFFFF) == colour)
                ++count;
    return count;
}

// Runs `whileOpen` with the modal dialog once it is showing; start it just before the call that
// opens the dialog.
inline void WhenModalShows(std::function<void(QWidget&)> whileOpen)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, whileOpen] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        whileOpen(*dialog);
    });
    poll->start();
}
