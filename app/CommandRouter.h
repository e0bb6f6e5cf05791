#pragma once
// Ties the widgets to the command table: one QAction per command id for menus and tool bar,
// keyboard accelerators, and commands posted from any thread. Every path ends in the table's
// Dispatch, and the actions' enabled states and check marks follow the table's rules: after
// every dispatch, when a menu opens, and on a short timer as the idle update.

#include "app/CommandTable.h"

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <map>

class QAction;
class QMenu;
class QShortcut;
class QWidget;

class CCommandRouter final : public QObject {
    Q_OBJECT
public:
    explicit CCommandRouter(CCommandTable& table, QObject* parent = nullptr);

    CCommandTable& Table() { return table_; }

    // The action of a command, made on first use with the command's prompt and tool tip.
    QAction* Action(std::uint32_t id, const QString& text = {});
    // A key that runs the command while `window` or any of its children has the focus.
    QShortcut* AddAccelerator(QWidget* window, const QKeySequence& key, std::uint32_t id);
    // Refreshes the menu's actions whenever it is about to show.
    void WatchMenu(QMenu* menu);

    // Queues the command for the GUI thread; safe from any thread.
    void PostCommand(std::uint32_t id);
    // Runs the command now, through its rules.
    bool Dispatch(std::uint32_t id);

    // Sets every action's enabled state and check mark from the rules.
    void UpdateActions();

private:
    CCommandTable& table_;
    std::map<std::uint32_t, QAction*> actions_;
    QTimer idleUpdate_;
};
