#pragma once
// The one-line prompts through which the quiz master types a text or a number. Both dialogs are
// laid out from one template in dialog units; only the edit field's echo mode differs for the
// password variant. Texts of the game are Windows-1252 bytes; captions and prompts are QStrings.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

// The results of a modal run, as the callers compare them.
inline constexpr int kDialogOk = 1;
inline constexpr int kDialogCancel = 2;

// The shared template: caption, prompt label, edit field, "OK" and "Abbrechen".
class CInputDlgBase : public QDialog {
    Q_OBJECT
public:
    void SetTitle(const QString& title) { title_ = title; }
    void SetPrompt(const QString& prompt) { prompt_ = prompt; }

    // Shows the dialog modally: kDialogOk or kDialogCancel.
    int DoModal();

protected:
    CInputDlgBase(QWidget* parent, bool password);

    // The edit field's text as Windows-1252 bytes, and back.
    std::string EditText() const;
    void SetEditText(std::string_view text);

    // Called just before the dialog shows: fills the edit field from the caller's text.
    virtual void InitialiseEdit() = 0;

private:
    void ApplyTexts();

    QString title_;
    QString prompt_;
    QLabel* promptLabel_;
    QLineEdit* edit_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

class CTextInputDlg final : public CInputDlgBase {
    Q_OBJECT
public:
    explicit CTextInputDlg(QWidget* parent = nullptr, bool password = false);

    void SetText(std::string_view text) { text_ = text; }
    const std::string& Text() const { return text_; }

    // Copies at most size - 1 bytes and a terminating zero; returns the bytes copied.
    int GetText(char* buffer, int size) const;

    void accept() override;

protected:
    void InitialiseEdit() override;

private:
    std::string text_;
};

class CNumberInputDlg final : public CInputDlgBase {
    Q_OBJECT
public:
    explicit CNumberInputDlg(QWidget* parent = nullptr);

    // Stores the value and shows it in a format of FormatNumber (0 is signed decimal).
    void SetValue(std::int32_t value, int format = 0);
    // After OK the parsed input; otherwise the value last set.
    std::int32_t GetValue() const { return value_; }

    void accept() override;

protected:
    void InitialiseEdit() override;

private:
    std::string text_ = "0";
    std::int32_t value_ = 0;
};
