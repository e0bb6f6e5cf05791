#pragma once
// The folder chooser's tree mode: the whole folder tree from the root, loaded lazily by the file
// system model's own thread as branches open.

#include <QString>
#include <QTreeView>

class QFileSystemModel;

class CPathDlgTree final : public QTreeView {
    Q_OBJECT
public:
    explicit CPathDlgTree(QWidget* parent = nullptr);

    // Opens the branches down to path and selects it; false when the tree has no such folder.
    bool SelectPath(const QString& path);
    QString SelectedPath() const;

signals:
    void selectedPathChanged(const QString& path);
    void pathDropped(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QFileSystemModel* model_;  // owned by this view
};
