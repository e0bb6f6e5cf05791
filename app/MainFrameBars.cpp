// The frame's menu bar, tool bar, status bar and accelerators.
#include "app/MainFrame.h"

#include "app/BuzzerKeys.h"
#include "app/CommandIds.h"
#include "app/CommandRouter.h"
#include "app/MenuStyle.h"
#include "app/OwnerDrawMenu.h"
#include "support/Resources.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

struct MenuEntry {
    std::uint32_t id;  // 0: separator
    const char* text;  // UTF-8
};

struct MenuDefinition {
    const char* title;
    std::vector<MenuEntry> entries;
};

const MenuDefinition kMenus[] = {
    {"&Datei", {{CommandId::NewPuzzle, "&Neu"}, {0, nullptr}, {CommandId::Exit, "&Beenden"}}},
    {"&Bearbeiten",
     {{CommandId::FirstPlayerUp, "Erster Spieler +\tF1"},
      {CommandId::SecondPlayerUp, "Zweiter Spieler +\tF2"},
      {CommandId::FirstPlayerDown, "Erster Spieler -\tF3"},
      {CommandId::SecondPlayerDown, "Zweiter Spieler -\tF4"},
      {0, nullptr},
      {CommandId::NextPuzzle, "Starte nächstes Rätsel\tF5"},
      {CommandId::RevealText, "Text aufdecken\tF6"},
      {CommandId::StopFirstTimer, "Ersten Timer anhalten\tF7"},
      {CommandId::StopSecondTimer, "Zweiten Timer anhalten\tF8"},
      {0, nullptr},
      {CommandId::ChooseComPort, "COM-Port auswählen"},
      {CommandId::NextGameNumber, "Nächste Spielnummer"},
      {CommandId::PuzzlePath, "Rätselpfad einstellen"},
      {CommandId::SwitchTime, "Schaltzeit einstellen"},
      {CommandId::SecondTick, "Sekundentick"},
      {0, nullptr},
      {CommandId::PhoneBuzzers, "Handy-Buzzer"},
      {CommandId::BuzzerKeys, "Buzzer-Tasten..."}}},
    {"&Ansicht",
     {{CommandId::FlatToolBar, "&Flache Symbolleiste"},
      {CommandId::StayOnTop, "Fenster fi&xieren"},
      {CommandId::ViewToolBar, "&Symbolleiste"},
      {CommandId::ViewStatusBar, "S&tatusleiste"},
      {0, nullptr},
      {CommandId::PresenterView, "Moderatorenansicht"},
      {CommandId::SwapScreens, "Bildschirme tauschen"},
      {0, nullptr},
      {CommandId::SmallStars, "Kleine Sterne"},
      {CommandId::MediumStars, "Mittlere Sterne"},
      {CommandId::LargeStars, "Große Sterne"},
      {CommandId::TwoRows, "Zwei Reihen"}}},
    {"&?",
     {{CommandId::About, "Inf&o über Quizmora..."},
      {CommandId::KeyMap, "&Tastenbelegung"},
      {CommandId::FileFormat, "Dateiformat"}}},
};

// The tool bar from left to right; 0 is a separator. Each button takes the next picture.
constexpr std::uint32_t kToolBarButtons[] = {
    CommandId::NewPuzzle, 0, CommandId::FullScreen, CommandId::StayOnTop, 0, CommandId::StopFirstTimerBar,
    CommandId::StopSecondTimerBar, CommandId::NextPuzzle, CommandId::RevealText, 0, CommandId::About};
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 15;

struct Accelerator {
    QKeySequence key;
    std::uint32_t id;
};

// Where the platform cannot tell a lock key's state the pane stays hidden.
std::optional<bool> LockState(int pane)
{
#ifdef Q_OS_WIN
    static constexpr int kKeys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
    return (GetKeyState(kKeys[pane - 1]) & 1) != 0;
#else
    (void)pane;
    return std::nullopt;
#endif
}

QPixmap ToolBarPictures()
{
    const auto bytes = FindResource("TOOLBAR", "128");
    QPixmap pictures;
    if (!bytes.empty())
        pictures.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<uint>(bytes.size()));
    return pictures;
}

}  // namespace

void CMainFrame::CreateMenus()
{
    for (const auto& menu : kMenus) {
        auto* popup = new COwnerDrawMenu(QString::fromUtf8(menu.title), menuImages_, menuBar());
        menuBar()->addMenu(popup);
        menus_.push_back(popup);
        router_.WatchMenu(popup);
        for (const auto& entry : menu.entries) {
            if (entry.id == 0)
                popup->addSeparator();
            else
                popup->addAction(router_.Action(entry.id, QString::fromUtf8(entry.text)));
        }
    }
}

void CMainFrame::CreateToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("Symbolleiste"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(kButtonWidth, kButtonHeight));
    toolBar_->setMovable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setContentsMargins(2, 2, 2, 2);

    const QPixmap pictures = ToolBarPictures();
    int picture = 0;
    for (const std::uint32_t id : kToolBarButtons) {
        if (id == 0) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = router_.Action(id);
        if (action->text().isEmpty())
            action->setText(action->toolTip());
        const int x = picture * kButtonWidth;
        if (!pictures.isNull() && x + kButtonWidth <= pictures.width())
            action->setIcon(QIcon(pictures.copy(x, 0, kButtonWidth, kButtonHeight)));
        ++picture;
        toolBar_->addAction(action);
    }
    ApplyFlatMode();
}

void CMainFrame::BuildMenuImages()
{
    const QSize imageSize(kButtonWidth, kButtonHeight);
    menuImages_.Add(ToolBarPictures(), imageSize, kToolBarButtons);
    if (menuImages_.Empty())
        return;  // the menus stay plain
    // A child of the frame, so that it outlives the menus, which the menu bar owns.
    auto* style = new CMenuStyle(menuImages_.ImageSize());
    style->setParent(this);
    for (COwnerDrawMenu* menu : menus_) {
        menu->setStyle(style);
        menu->ConvertAll();
    }
}

void CMainFrame::ApplyFlatMode()
{
    if (toolBar_ == nullptr)
        return;
    for (QAction* action : toolBar_->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action)))
            button->setAutoRaise(flatMode_);
    }
    // Repaint the bar in its new style.
    if (toolBar_->isVisible())
        toolBar_->update();
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    panes_[0] = new QLabel(QStringLiteral("Bereit"), bar);
    panes_[0]->setObjectName(QStringLiteral("promptPane"));
    bar->addWidget(panes_[0], 1);
    const char* const lockTexts[] = {"UF", "NUM", "RF"};
    for (int pane = 1; pane <= 3; ++pane) {
        auto* label = new QLabel(QString::fromLatin1(lockTexts[pane - 1]), bar);
        label->setObjectName(QStringLiteral("lockPane%1").arg(pane));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("NUM")) + 8);
        bar->addPermanentWidget(label);
        panes_[static_cast<std::size_t>(pane)] = label;
    }
    UpdateLockPanes();
    auto* lockTimer = new QTimer(this);
    connect(lockTimer, &QTimer::timeout, this, &CMainFrame::UpdateLockPanes);
    lockTimer->start(250);
}

void CMainFrame::UpdateLockPanes()
{
    for (int pane = 1; pane <= 3; ++pane) {
        QLabel* label = panes_[static_cast<std::size_t>(pane)];
        const std::optional<bool> on = LockState(pane);
        label->setVisible(on.has_value());
        label->setEnabled(on.value_or(false));
    }
}

void CMainFrame::CreateAccelerators()
{
    const Accelerator accelerators[] = {
        {QKeySequence(Qt::Key_F1), CommandId::FirstPlayerUp},
        {QKeySequence(Qt::Key_F2), CommandId::SecondPlayerUp},
        {QKeySequence(Qt::Key_F3), CommandId::FirstPlayerDown},
        {QKeySequence(Qt::Key_F4), CommandId::SecondPlayerDown},
        {QKeySequence(Qt::Key_F5), CommandId::NextPuzzle},
        {QKeySequence(Qt::Key_F6), CommandId::RevealText},
        {QKeySequence(Qt::Key_F9), CommandId::RevealText},
        {QKeySequence(Qt::Key_F10), CommandId::FullScreen},
        {QKeySequence(Qt::CTRL | Qt::Key_N), CommandId::NextGameNumber},
        {QKeySequence(Qt::CTRL | Qt::Key_S), CommandId::SaveDocument},
    };
    for (const auto& accelerator : accelerators) {
        router_.AddAccelerator(this, accelerator.key, accelerator.id);
        otherKeys_.push_back(accelerator.key);
    }
    const SBuzzerKeys keys = LoadBuzzerKeys();
    stopShortcuts_[0] = router_.AddAccelerator(this, keys.left, CommandId::StopFirstTimer);
    stopShortcuts_[1] = router_.AddAccelerator(this, keys.right, CommandId::StopSecondTimer);
    ApplyBuzzerKeys(keys);
}

void CMainFrame::ApplyBuzzerKeys(const SBuzzerKeys& keys)
{
    const QKeySequence* key[] = {&keys.left, &keys.right};
    const std::uint32_t ids[] = {CommandId::StopFirstTimer, CommandId::StopSecondTimer};
    const char* const labels[] = {"Ersten Timer anhalten\t", "Zweiten Timer anhalten\t"};
    for (std::size_t i = 0; i < 2; ++i) {
        stopShortcuts_[i]->setKey(*key[i]);
        router_.Action(ids[i])->setText(QString::fromUtf8(labels[i]) + key[i]->toString(QKeySequence::NativeText));
    }
}

void CMainFrame::ChooseBuzzerKeys()
{
    CBuzzerKeysDialog dialog(LoadBuzzerKeys(), otherKeys_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SaveBuzzerKeys(dialog.Keys());
    ApplyBuzzerKeys(dialog.Keys());
}
