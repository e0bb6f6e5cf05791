#pragma once
// The folder chooser's tree mode: the whole folder tree from the root, loaded lazily by the file
// system model's own thread as branches open.

#include <QFileIconProvider>
#include <QString>
#include <QTreeView>

class QFileSystemModel;

class CPathDlgTree final : public QTreeView {
    Q_OBJECT
public:
    explicit CPathDlgTree(QWidget* parent = nullptr);

    // Opens the branches down to path and selects it, also once the branches have been read;
    // false when the tree has no such folder.
    bool SelectPath(const QString& path);
    QString SelectedPath() const;

signals:
    // The user moved the selection (not SelectPath).
    void selectedPathChanged(const QString& path);
    void pathDropped(const QString& path);

protected:
    // The user taking over ends the following of a selection still being read.
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool SelectNow(const QString& path);
    void OnDirectoryLoaded();
    void KeepPendingInView();

    QFileIconProvider icons_;
    QFileSystemModel* model_;  // owned by this view
    QString pending_;          // the path to select again while its branches are read
    bool selecting_ = false;
};
