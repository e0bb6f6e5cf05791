#pragma once
// The folder chooser's breadcrumb bar: one button per level of the path, each followed by a
// drop-down of that level's subfolders. A click on the free space of the bar turns it into an
// edit for typing a path.

#include <QString>
#include <QWidget>

#include <vector>

class QHBoxLayout;
class QLineEdit;
class QStackedLayout;
class QToolButton;

class CPathDlgBreadcrumb final : public QWidget {
    Q_OBJECT
public:
    // At most this many subfolders are read into a drop-down, which is read on the GUI thread.
    static constexpr int kMaxMenuEntries = 400;

    explicit CPathDlgBreadcrumb(QWidget* parent = nullptr);

    void SetPath(const QString& path);
    void StartEdit();
    bool IsEditing() const;
    QLineEdit* Edit() const { return edit_; }

signals:
    // A level button or a drop-down entry was chosen.
    void pathChosen(const QString& path);
    // The edit was left with the text typed into it; byEnter tells Enter from losing the focus.
    void editFinished(const QString& text, bool byEnter);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FinishEdit(bool commit, bool byEnter);
    void FillMenu(class QMenu* menu, const QString& folder);
    // Hides the levels nearest the root when the bar is too narrow; "..." offers them.
    void FitCrumbs();

    struct Crumb {
        QString path;
        QToolButton* button;
        QToolButton* more;
    };
    std::vector<Crumb> crumbList_;
    QToolButton* ellipsis_ = nullptr;

    QString path_;
    QStackedLayout* stack_;
    QWidget* crumbs_;
    QHBoxLayout* crumbLayout_;
    QLineEdit* edit_;
};
