#include "ui/InputDlg.h"

#include "support/Cp1252.h"
#include "support/NumberParser.h"
#include "ui/DialogUnits.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>

#include <algorithm>
#include <cstring>

namespace {


}  // namespace

CInputDlgBase::CInputDlgBase(QWidget* parent, bool password)
    : QDialog(parent)
    , promptLabel_(new QLabel(this))
    , edit_(new QLineEdit(this))
    , okButton_(new QPushButton(QStringLiteral("OK"), this))
    , cancelButton_(new QPushButton(QStringLiteral("Abbrechen"), this))
{
    setWindowTitle(QStringLiteral("Dateinamen eingeben"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    promptLabel_->setObjectName(QStringLiteral("promptLabel"));
    edit_->setObjectName(QStringLiteral("editField"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    if (password)
        edit_->setEchoMode(QLineEdit::Password);
    promptLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    okButton_->setDefault(true);
    okButton_->setAutoDefault(true);
    cancelButton_->setAutoDefault(false);

    const CDialogUnits units(fontMetrics());
    setFixedSize(units.X(232), units.Y(58));
    promptLabel_->setGeometry(units.Rect(5, 5, 220, 8).adjusted(0, 0, 0, units.Y(2)));
    edit_->setGeometry(units.Rect(5, 15, 220, 13).adjusted(0, units.Y(2), 0, units.Y(2)));
    okButton_->setGeometry(units.Rect(120, 35, 50, 14).adjusted(0, units.Y(2), 0, units.Y(2)));
    cancelButton_->setGeometry(units.Rect(175, 35, 50, 14).adjusted(0, units.Y(2), 0, units.Y(2)));

    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(edit_, okButton_);
    setTabOrder(okButton_, cancelButton_);
}

int CInputDlgBase::DoModal()
{
    ApplyTexts();
    // The template places the prompt at its owner's top-left corner.
    if (const QWidget* owner = parentWidget())
        move(owner->mapToGlobal(QPoint(0, 0)));
    return exec() == QDialog::Accepted ? kDialogOk : kDialogCancel;
}

void CInputDlgBase::ApplyTexts()
{
    InitialiseEdit();
    if (!title_.isEmpty())
        setWindowTitle(title_);
    if (!prompt_.isEmpty())
        promptLabel_->setText(prompt_);
    edit_->setFocus();
}

std::string CInputDlgBase::EditText() const
{
    return Utf16ToCp1252(edit_->text().toStdU16String());
}

void CInputDlgBase::SetEditText(std::string_view text)
{
    edit_->setText(QString::fromStdU16String(Cp1252ToUtf16(text)));
}

CTextInputDlg::CTextInputDlg(QWidget* parent, bool password)
    : CInputDlgBase(parent, password)
{
}

int CTextInputDlg::GetText(char* buffer, int size) const
{
    if (buffer == nullptr || size <= 0)
        return 0;
    const std::size_t count = std::min(text_.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text_.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

void CTextInputDlg::InitialiseEdit()
{
    SetEditText(text_);
}

void CTextInputDlg::accept()
{
    text_ = EditText();
    QDialog::accept();
}

CNumberInputDlg::CNumberInputDlg(QWidget* parent)
    : CInputDlgBase(parent, false)
{
}

void CNumberInputDlg::SetValue(std::int32_t value, int format)
{
    value_ = value;
    text_ = FormatNumber(value, format);
}

void CNumberInputDlg::InitialiseEdit()
{
    SetEditText(text_);
}

void CNumberInputDlg::accept()
{
    text_ = EditText();
    value_ = ParseNumberInput(text_);
    QDialog::accept();
}
