#pragma once
// The keys of the keyboard buzzers: cheap USB buzzers type a key, so the keys that stop the left
// and the right player are settings ("StopLeftKey", "StopRightKey" in the frame's key, as
// portable key texts; F7 and F8 unless set), chosen in a small dialog that captures a key press.

#include <QDialog>
#include <QKeySequence>
#include <QLineEdit>

#include <array>

struct SBuzzerKeys {
    QKeySequence left{Qt::Key_F7};
    QKeySequence right{Qt::Key_F8};
};

SBuzzerKeys LoadBuzzerKeys();
void SaveBuzzerKeys(const SBuzzerKeys& keys);

// Why the pair cannot be used ("" when it can): a key missing, both the same, or one of the
// program's other keys (`taken`).
QString BuzzerKeysProblem(const SBuzzerKeys& keys, const QList<QKeySequence>& taken);

// A field that shows the last key pressed in it (with its modifiers) instead of typing it.
class CKeyCaptureEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit CKeyCaptureEdit(const QKeySequence& key, QWidget* parent = nullptr);
    QKeySequence Key() const { return key_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    QKeySequence key_;
};

class CBuzzerKeysDialog final : public QDialog {
    Q_OBJECT
public:
    CBuzzerKeysDialog(const SBuzzerKeys& keys, QList<QKeySequence> taken, QWidget* parent = nullptr);
    SBuzzerKeys Keys() const { return {left_->Key(), right_->Key()}; }

    void accept() override;

private:
    CKeyCaptureEdit* left_;
    CKeyCaptureEdit* right_;
    QList<QKeySequence> taken_;
};
