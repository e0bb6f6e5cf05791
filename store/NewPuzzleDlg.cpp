#include "store/NewPuzzleDlg.h"

#include "store/PictureHistory.h"
#include "support/Cp1252.h"
#include "support/Resources.h"
#include "support/SettingsKey.h"
#include "ui/DialogUnits.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {


constexpr int kBrowseBitmap = 139;

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromCp1252(std::string_view text)
{
    return QString::fromStdU16String(Cp1252ToUtf16(text));
}

std::string ToCp1252(const QString& text)
{
    return Utf16ToCp1252(text.toStdU16String());
}

// File names are the system's bytes; QFile knows how they map to text.
QString FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToPath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

QPixmap BrowseBitmap()
{
    QPixmap pixmap;
    const std::span<const std::byte> png = FindResource("BITMAP", std::to_string(kBrowseBitmap));
    if (!png.empty())
        pixmap.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<uint>(png.size()), "PNG");
    return pixmap;
}

// A text label sized to its text at least, so the words are never clipped.
QLabel* AddLabel(QWidget* parent, const char* utf8, QRect rect)
{
    auto* label = new QLabel(QString::fromUtf8(utf8), parent);
    rect.setWidth(std::max(rect.width(), label->sizeHint().width()));
    rect.setHeight(std::max(rect.height(), label->sizeHint().height()));
    label->setGeometry(rect);
    return label;
}

}  // namespace

CNewPuzzleDlg::CNewPuzzleDlg(CNewPuzzleFields& fields, QWidget* parent)
    : QDialog(parent)
    , fields_(fields)
{
    setWindowTitle(QStringLiteral("Neues Bild erstellen"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const CDialogUnits units(fontMetrics());
    // Edit fields and buttons get a little more than their template height, as the template's
    // system font is smaller than the widgets' frames.
    const int grow = units.Y(2);

    AddLabel(this, "Pfad der Bilddatei (kann auch leer sein) :", units.Rect(10, 10, 305, 8));
    pictureCombo_ = new QComboBox(this);
    pictureCombo_->setObjectName(QStringLiteral("pictureCombo"));
    pictureCombo_->setEditable(true);
    pictureCombo_->setInsertPolicy(QComboBox::NoInsert);
    pictureCombo_->setGeometry(units.Rect(10, 20, 305, 14).adjusted(0, 0, 0, grow));

    browseButton_ = new QPushButton(this);
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    browseButton_->setToolTip(QStringLiteral("Bilddatei auswählen"));
    browseButton_->setAutoDefault(false);
    browseButton_->setGeometry(units.Rect(320, 20, 15, 14).adjusted(0, 0, 0, grow));

    AddLabel(this, "Frage :", units.Rect(10, 40, 23, 8).adjusted(0, grow, 0, grow));
    questionEdit_ = new QLineEdit(this);
    questionEdit_->setObjectName(QStringLiteral("questionEdit"));
    questionEdit_->setGeometry(units.Rect(10, 50, 305, 14).adjusted(0, grow, 0, grow));

    AddLabel(this, "Antwort :", units.Rect(10, 70, 29, 8).adjusted(0, grow, 0, grow));
    answerEdit_ = new QLineEdit(this);
    answerEdit_->setObjectName(QStringLiteral("answerEdit"));
    answerEdit_->setGeometry(units.Rect(10, 80, 305, 14).adjusted(0, grow, 0, grow));

    auto* modeBox = new QGroupBox(QStringLiteral("Modus"), this);
    QRect boxRect = units.Rect(10, 105, 100, 55).adjusted(0, grow, 0, 2 * grow);
    modeGroup_ = new QButtonGroup(this);
    const struct {
        const char* text;
        const char* name;
        int mode;
        int y;
    } kModes[] = {
        {"Nächster freier Platz", "modeNextFree", NextFree, 119},
        {"Einfügen", "modeInsert", Insert, 130},
        {"Überschreiben", "modeOverwrite", Overwrite, 141},
    };
    int widestRadio = 0;
    for (const auto& mode : kModes) {
        auto* radio = new QRadioButton(QString::fromUtf8(mode.text), modeBox);
        radio->setObjectName(QString::fromUtf8(mode.name));
        QRect rect = units.Rect(20, mode.y, 85, 10).adjusted(0, 0, 0, grow);
        rect.setWidth(std::max(rect.width(), radio->sizeHint().width()));
        widestRadio = std::max(widestRadio, rect.width());
        radio->setGeometry(rect.translated(-boxRect.topLeft() + QPoint(0, grow)));
        modeGroup_->addButton(radio, mode.mode);
    }
    // The template's box is just wide enough for its font's texts; this font may need more, and
    // the number field beside it moves along.
    const int boxGrowth = std::max(0, units.X(10) + widestRadio + units.X(6) - boxRect.width());
    boxRect.setWidth(boxRect.width() + boxGrowth);
    modeBox->setGeometry(boxRect);

    AddLabel(this, "Sielnummer :", units.Rect(120, 110, 41, 8).adjusted(0, grow, 0, grow).translated(boxGrowth, 0));
    numberEdit_ = new QLineEdit(this);
    numberEdit_->setObjectName(QStringLiteral("numberEdit"));
    numberEdit_->setGeometry(units.Rect(120, 120, 65, 14).adjusted(0, grow, 0, grow).translated(boxGrowth, 0));

    auto* cancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAutoDefault(false);
    cancelButton->setGeometry(units.Rect(225, 145, 50, 14).adjusted(0, 2 * grow, 0, 3 * grow));
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    okButton->setGeometry(units.Rect(285, 145, 50, 14).adjusted(0, 2 * grow, 0, 3 * grow));
    setFixedSize(units.X(347), units.Y(166) + 4 * grow);

    connect(browseButton_, &QPushButton::clicked, this, &CNewPuzzleDlg::Browse);
    connect(okButton, &QPushButton::clicked, this, &CNewPuzzleDlg::ConfirmEntries);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool CNewPuzzleDlg::DoModal()
{
    Initialise();
    return exec() == QDialog::Accepted;
}

void CNewPuzzleDlg::Initialise()
{
    fields_.NumberText = std::to_string(fields_.Entries.Number);

    std::vector<std::string> stored;
    CSettingsKey().ReadMultiString(kPictureHistoryValue, stored);
    const auto first = std::find_if(stored.begin(), stored.end(), [](const std::string& path) { return !path.empty(); });
    if (first != stored.end())
        fields_.Entries.PicturePath = *first;
    if (!presetPicture_.empty())
        fields_.Entries.PicturePath = presetPicture_;
    pictureCombo_->clear();
    for (const std::string& path : SortedPictureList(std::move(stored)))
        pictureCombo_->addItem(FromPath(path));

    const QPixmap bitmap = BrowseBitmap();
    browseButton_->setIcon(bitmap);
    browseButton_->setIconSize(bitmap.size());
    ShowFields();
    questionEdit_->setFocus();
}

void CNewPuzzleDlg::TakeOverControls()
{
    CNewPuzzleEntries& entries = fields_.Entries;
    fields_.NumberText = numberEdit_->text().toStdString();
    entries.PicturePath = ToPath(pictureCombo_->currentText());
    entries.Answer = ToCp1252(answerEdit_->text());
    entries.Question = ToCp1252(questionEdit_->text());
    if (modeGroup_->checkedId() >= 0)
        entries.Mode = modeGroup_->checkedId();
}

void CNewPuzzleDlg::ShowFields()
{
    const CNewPuzzleEntries& entries = fields_.Entries;
    numberEdit_->setText(QString::fromStdString(fields_.NumberText));
    pictureCombo_->setEditText(FromPath(entries.PicturePath));
    answerEdit_->setText(FromCp1252(entries.Answer));
    questionEdit_->setText(FromCp1252(entries.Question));
    if (QAbstractButton* radio = modeGroup_->button(entries.Mode))
        radio->setChecked(true);
}

void CNewPuzzleDlg::Browse()
{
    TakeOverControls();
    QFileDialog dialog(this, QStringLiteral("Bilddatei auswählen"));
    dialog.setObjectName(QStringLiteral("pictureBrowser"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Any format the imaging library recognises by content loads, whatever the name's extension.
    dialog.setNameFilters({QStringLiteral("Bilder (*.png)"), QStringLiteral("Alle Dateien (*)")});
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (!fields_.Entries.PicturePath.empty())
        dialog.selectFile(FromPath(fields_.Entries.PicturePath));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    fields_.Entries.PicturePath = ToPath(dialog.selectedFiles().constFirst());
    ShowFields();
}

void CNewPuzzleDlg::ConfirmEntries()
{
    TakeOverControls();
    if (const std::optional<std::string_view> problem = CheckNewPuzzleEntries(fields_.Entries)) {
        ShowCheckMessage(*problem);
        if (*problem == kNeedPictureText)
            pictureCombo_->setFocus();
        else if (*problem == kNeedQuestionText)
            questionEdit_->setFocus();
        else
            answerEdit_->setFocus();
        return;
    }
    fields_.Entries.Number = PuzzleNumberFromText(fields_.NumberText);
    StoreHistory();
    accept();
}

void CNewPuzzleDlg::ShowCheckMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Warning, FromUtf8(kNewPuzzleMessageCaption), FromUtf8(text), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("checkMessage"));
    box.exec();
}

void CNewPuzzleDlg::StoreHistory()
{
    const std::string& confirmed = fields_.Entries.PicturePath;
    if (confirmed.empty())
        return;
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(pictureCombo_->count()));
    for (int index = 0; index < pictureCombo_->count(); ++index)
        list.push_back(ToPath(pictureCombo_->itemText(index)));
    CSettingsKey().WriteMultiString(kPictureHistoryValue, UpdatedPictureHistory(confirmed, list));
}
