#pragma once
// The folder chooser: a resizable modal dialog in which the user picks a folder by typing a
// path, walking the folder list or tree, choosing a drive (a mounted volume), going up, or
// dropping a file or folder onto it. The subfolders are listed by a worker thread, so a slow or
// huge folder never stalls the dialog.

#include "support/TickCount.h"
#include "ui/PathHistory.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPathDlgBreadcrumb;
class CPathDlgList;
class CPathDlgListModel;
class CPathDlgTree;
class CPathDlgWorker;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
struct PathDlgDrive;

class CPathDlg final : public QDialog {
    Q_OBJECT
public:
    enum Option : unsigned {
        kMustExist = 1,
        kCreateMissing = 2,
        kPlainUnc = 4,
        kNoTreeMode = 8,
    };
    static constexpr unsigned kGameOptions = kMustExist | kCreateMissing;
    // Run's results, the same numbers as the other dialogs of the toolkit return.
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    // registryName, when given, keeps the last path and the history in the settings: a name
    // starting with "#" in the toolkit's shared key, any other in the application's key.
    explicit CPathDlg(QWidget* parent = nullptr, std::optional<std::string> registryName = std::nullopt);
    ~CPathDlg() override;

    void SetTitle(const QString& title);
    QString SetPath(const QString& path);
    // Offers "Pfaderweiterung" in the context menu: the current path joined with extension.
    void SetPathExtension(const QString& extension);

    // Shows the dialog modally; kOk or kCancel.
    int Run(unsigned options = kGameOptions);
    // Shows the dialog without waiting (Run is Start followed by the modal loop).
    void Start(unsigned options = kGameOptions);

    // 0: the chosen path without a trailing separator; 1: with one.
    QString GetPath(int which = 0) const;

    const CPathHistory& History() const { return history_; }
    QString ShownFolder() const { return shownFolder_; }
    bool IsListing() const { return listingRequest_ != 0; }
    bool TreeMode() const { return treeMode_; }
    bool BreadcrumbMode() const { return breadcrumbMode_; }

    // Replaces the clock of the type-ahead search (tests).
    void SetClock(const CTickSource& clock);

    // The rectangle that the next dialog of this process opens at, if any.
    static std::optional<QRect> RememberedRect();

public slots:
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QString Normalize(const QString& path) const;
    void Prepare(unsigned options);
    void OnDoubleClick(int row);
    void OnEnterInList();
    void DropPath(const QString& path);
    void ReadModes();
    void WriteModes() const;
    void Place();
    void GoTo(const QString& path);
    void GoToRow(int row);
    void GoUp();
    void ChooseDrive(int index);
    void AddDrives(std::vector<PathDlgDrive> drives);
    void OnBatch(std::uint64_t request, std::vector<std::string> names);
    void OnListed(std::uint64_t request);
    void FollowDrive();
    QString DriveOf(const QString& path) const;
    void SetTreeMode(bool on);
    void SetBreadcrumbMode(bool on);
    void FollowTree(const QString& path);
    void SelectInTree(const QString& path);
    void Confirm();
    bool ConfirmChecks(const QString& path);
    void Finish(int result);
    void StopWorker();
    void ShowWaitCursor(bool on);
    void ShowError(const QString& text);
    QString PathFieldText() const;
    void SetPathFieldText(const QString& text);
    void LoadRegistry();
    void SaveRegistry() const;

    // Options and state
    std::optional<std::string> registryName_;
    unsigned options_ = kGameOptions;
    QString path_;
    QString pathWithSeparator_;
    QString title_;
    QString pathExtension_;
    QString shownFolder_;
    CPathHistory history_;
    bool treeMode_ = false;
    bool breadcrumbMode_ = true;
    bool started_ = false;
    bool finishing_ = false;
    bool waitCursor_ = false;
    bool selectingTree_ = false;
    std::uint64_t listingRequest_ = 0;
    std::uint64_t currentRequest_ = 0;
    std::map<QString, QString> lastFolderOnDrive_;

    // Controls (owned by the Qt object tree)
    QLabel* pathLabel_ = nullptr;
    QStackedWidget* pathStack_ = nullptr;
    QComboBox* pathField_ = nullptr;
    CPathDlgBreadcrumb* breadcrumb_ = nullptr;
    QStackedWidget* viewStack_ = nullptr;
    CPathDlgList* list_ = nullptr;
    CPathDlgListModel* listModel_ = nullptr;
    CPathDlgTree* tree_ = nullptr;
    QComboBox* driveSelector_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QCheckBox* breadcrumbCheck_ = nullptr;
    QCheckBox* treeCheck_ = nullptr;
    class QTimer* treeSettle_ = nullptr;
    QString pendingTreePath_;
    QAction* extensionAction_ = nullptr;

    std::unique_ptr<CPathDlgWorker> worker_;
};
