#include "app/CommandRouter.h"

#include "app/CommandTexts.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kIdleUpdateMs = 200;

}  // namespace

CCommandRouter::CCommandRouter(CCommandTable& table, QObject* parent)
    : QObject(parent)
    , table_(table)
{
    table_.AddObserver([this] { UpdateActions(); });
    idleUpdate_.setInterval(kIdleUpdateMs);
    connect(&idleUpdate_, &QTimer::timeout, this, &CCommandRouter::UpdateActions);
    idleUpdate_.start();
}

QAction* CCommandRouter::Action(std::uint32_t id, const QString& text)
{
    const auto found = actions_.find(id);
    if (found != actions_.end()) {
        if (!text.isEmpty())
            found->second->setText(text);
        return found->second;
    }
    auto* action = new QAction(text, this);
    const CommandTexts texts = TextsOfCommand(id);
    action->setStatusTip(FromUtf8(texts.prompt));
    action->setToolTip(texts.toolTip.empty() ? text : FromUtf8(texts.toolTip));
    action->setData(static_cast<unsigned>(id));
    connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
    actions_.emplace(id, action);
    // Until the rules say otherwise the action shows as its command currently is.
    action->setEnabled(table_.IsEnabled(id));
    return action;
}

QShortcut* CCommandRouter::AddAccelerator(QWidget* window, const QKeySequence& key, std::uint32_t id)
{
    auto* shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, id] { Dispatch(id); });
    return shortcut;
}

void CCommandRouter::WatchMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, &CCommandRouter::UpdateActions);
}

void CCommandRouter::PostCommand(std::uint32_t id)
{
    QMetaObject::invokeMethod(this, [this, id] { Dispatch(id); }, Qt::QueuedConnection);
}

bool CCommandRouter::Dispatch(std::uint32_t id)
{
    return table_.Dispatch(id);
}

void CCommandRouter::UpdateActions()
{
    for (const auto& [id, action] : actions_) {
        action->setEnabled(table_.IsEnabled(id));
        const auto checked = table_.IsChecked(id);
        action->setCheckable(checked.has_value());
        if (checked)
            action->setChecked(*checked);
    }
}
