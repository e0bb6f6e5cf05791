#include "app/BuzzerKeys.h"

#include "support/SettingsKey.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr std::string_view kSubkey = "Settings";

QKeySequence ReadKey(const CSettingsKey& settings, std::string_view name, const QKeySequence& fallback)
{
    std::string text;
    if (!settings.ReadString(name, text))
        return fallback;
    const QKeySequence key = QKeySequence::fromString(QString::fromStdString(text), QKeySequence::PortableText);
    return key.count() == 1 ? key : fallback;
}

}  // namespace

SBuzzerKeys LoadBuzzerKeys()
{
    const CSettingsKey settings(kSubkey);
    const SBuzzerKeys defaults;
    return {ReadKey(settings, "StopLeftKey", defaults.left), ReadKey(settings, "StopRightKey", defaults.right)};
}

void SaveBuzzerKeys(const SBuzzerKeys& keys)
{
    CSettingsKey settings(kSubkey);
    settings.WriteString("StopLeftKey", keys.left.toString(QKeySequence::PortableText).toStdString());
    settings.WriteString("StopRightKey", keys.right.toString(QKeySequence::PortableText).toStdString());
    settings.Sync();
}

QString BuzzerKeysProblem(const SBuzzerKeys& keys, const QList<QKeySequence>& taken)
{
    if (keys.left.isEmpty() || keys.right.isEmpty())
        return QStringLiteral("Bitte für beide Seiten eine Taste drücken.");
    if (keys.left == keys.right)
        return QStringLiteral("Links und rechts brauchen verschiedene Tasten.");
    for (const QKeySequence& key : {keys.left, keys.right}) {
        if (taken.contains(key))
            return QStringLiteral("Die Taste %1 gehört schon einem anderen Befehl.").arg(key.toString(QKeySequence::NativeText));
    }
    return {};
}

CKeyCaptureEdit::CKeyCaptureEdit(const QKeySequence& key, QWidget* parent) : QLineEdit(parent), key_(key)
{
    setReadOnly(true);
    setPlaceholderText(QStringLiteral("Taste drücken"));
    setText(key_.toString(QKeySequence::NativeText));
}

bool CKeyCaptureEdit::event(QEvent* event)
{
    // Tab and the shortcuts of the window would otherwise never reach the field.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void CKeyCaptureEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_unknown || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
        key == Qt::Key_Meta || key == Qt::Key_AltGr)
        return;  // a modifier alone waits for its key
    key_ = QKeySequence(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(key)));
    setText(key_.toString(QKeySequence::NativeText));
}

CBuzzerKeysDialog::CBuzzerKeysDialog(const SBuzzerKeys& keys, QList<QKeySequence> taken, QWidget* parent)
    : QDialog(parent)
    , left_(new CKeyCaptureEdit(keys.left, this))
    , right_(new CKeyCaptureEdit(keys.right, this))
    , taken_(std::move(taken))
{
    setWindowTitle(QStringLiteral("Buzzer-Tasten"));
    left_->setObjectName(QStringLiteral("leftKey"));
    right_->setObjectName(QStringLiteral("rightKey"));
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("In ein Feld klicken und den Buzzer (oder eine Taste) drücken."), this));
    layout->addRow(QStringLiteral("Stop links:"), left_);
    layout->addRow(QStringLiteral("Stop rechts:"), right_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addRow(buttons);
}

void CBuzzerKeysDialog::accept()
{
    // A check inside a dialog keeps it open, with the program's title as caption.
    const QString problem = BuzzerKeysProblem(Keys(), taken_);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Quizmora"), problem);
        return;
    }
    QDialog::accept();
}
