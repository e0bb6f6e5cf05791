#pragma once
// The folder chooser's list: the chain from the root down to the current folder (one row per
// level, indented by depth) followed by the current folder's subfolders in sorted order. The
// current folder's row is its depth.

#include "support/TickCount.h"
#include "ui/PathTypeAhead.h"

#include <QAbstractListModel>
#include <QIcon>
#include <QListView>
#include <QString>

#include <string>
#include <vector>

// One level of a path from the root down: its name and its full path.
struct PathDlgLevel {
    QString label;
    QString path;
};
// The levels of a normalised path, starting with the root ("/", or "//" for a network path).
std::vector<PathDlgLevel> PathLevels(const QString& folder);

class CPathDlgListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kIndentRole = Qt::UserRole + 1;
    static constexpr int kPathRole = Qt::UserRole + 2;

    explicit CPathDlgListModel(QObject* parent = nullptr);

    // Shows the chain of folder (a normalised path) and no subfolders yet.
    void SetFolder(const QString& folder);
    // Merges a sorted batch of subfolder names (native bytes).
    void AddNames(std::vector<std::string> names);

    int Depth() const { return static_cast<int>(chain_.size()) - 1; }
    int SubfolderCount() const { return static_cast<int>(subfolders_.size()); }
    QString PathAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QString folder_;
    std::vector<PathDlgLevel> chain_;
    struct Subfolder {
        std::string name;  // native bytes
        QString label;
    };
    std::vector<Subfolder> subfolders_;  // sorted by PathNameLess of the names
    QIcon rootIcon_;
    QIcon folderIcon_;
};

// The list view: its own type-ahead search, one row per wheel step, and drops of files and
// folders from other programs.
class CPathDlgList final : public QListView {
    Q_OBJECT
public:
    explicit CPathDlgList(QWidget* parent = nullptr);

    // The clock of the type-ahead pauses; it must outlive the list.
    void SetClock(const CTickSource& clock) { clock_ = &clock; }

    void SelectRow(int row);
    int SelectedRow() const;

signals:
    // Enter pressed: the dialog goes to the selected row instead of closing.
    void enterPressed();
    // A local file or folder was dropped; only the first item counts.
    void pathDropped(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void TypeAhead(const QString& text);

    CSteadyTicks steadyClock_;
    const CTickSource* clock_ = &steadyClock_;
    CPathTypeAhead typeAhead_;
    int wheelRemainder_ = 0;
};

// The first local file or folder of a drop, or an empty string.
QString FirstDroppedPath(const class QMimeData* mime);
// Accepts a drag that carries a local file or folder and ignores any other.
void AcceptPathDrag(class QDragMoveEvent* event);
// The dropped file's or folder's path, the drop accepted; empty (the drop ignored) for others.
QString TakeDroppedPath(class QDropEvent* event);
