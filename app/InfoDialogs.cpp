#include "app/InfoDialogs.h"

#include "app/BuzzerKeys.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <string_view>

namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

std::unique_ptr<QDialog> MakeDialog(QWidget* parent, const char* title)
{
    auto dialog = std::make_unique<QDialog>(parent);
    dialog->setWindowTitle(Text(title));
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    return dialog;
}

QPushButton* MakeOkButton(QDialog& dialog)
{
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    return ok;
}

QLabel* MakeLabel(QDialog& dialog, const char* text)
{
    auto* label = new QLabel(Text(text), &dialog);
    // The texts keep their trailing blanks; plain text so nothing is interpreted.
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

std::unique_ptr<QDialog> MakeAboutDialog(QWidget* parent)
{
    auto dialog = MakeDialog(parent, "Info über Quizmora");
    auto* layout = new QHBoxLayout(dialog.get());
    auto* icon = new QLabel(dialog.get());
    const QIcon appIcon = QApplication::windowIcon().isNull()
                              ? dialog->style()->standardIcon(QStyle::SP_MessageBoxInformation)
                              : QApplication::windowIcon();
    icon->setPixmap(appIcon.pixmap(32, 32));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    lines->addWidget(MakeLabel(*dialog, "Quizmora Version 1.03"));
    lines->addWidget(MakeLabel(*dialog, "Das Quiz für zwei Spieler und ihr Publikum"));
    layout->addLayout(lines, 1);
    layout->addWidget(MakeOkButton(*dialog), 0, Qt::AlignTop);
    return dialog;
}

std::unique_ptr<QDialog> MakeKeyMapDialog(QWidget* parent)
{
    static const char* const kRows[][2] = {
        {"F1", ": Sterne ++ links"},        {"F2", ": Sterne ++ rechts"},   {"F3", ": Sterne -- links"},
        {"F4", ": Sterne -- rechts"},       {"F5", ": Zum nächsten Spiel"}, {"F6", ": Auflösung aufdecken"},
        {"F7", ": Stop links"},             {"F8", ": Stop rechts"},        {"F9", ": Auflösung aufdecken"},
        {"F10", ": Fenster zommen"},
    };
    static const char* const kSwitches[][2] = {
        {"-z", ": Programm gezoomt starten"},
        {"<Pfad>", ": Pfad vom Spiel das gestartet werden soll"},
    };
    auto dialog = MakeDialog(parent, "Tastaturbelegung");
    auto* layout = new QVBoxLayout(dialog.get());
    auto* grid = new QGridLayout;
    // The stop keys are the keyboard buzzers' settings: show the keys that stop the players now.
    const SBuzzerKeys buzzerKeys = LoadBuzzerKeys();
    int row = 0;
    for (const auto& entry : kRows) {
        QLabel* key = MakeLabel(*dialog, entry[0]);
        if (std::string_view(entry[0]) == "F7")
            key->setText(buzzerKeys.left.toString(QKeySequence::NativeText));
        else if (std::string_view(entry[0]) == "F8")
            key->setText(buzzerKeys.right.toString(QKeySequence::NativeText));
        grid->addWidget(key, row, 0);
        grid->addWidget(MakeLabel(*dialog, entry[1]), row, 1);
        ++row;
    }
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(MakeLabel(*dialog, "Kommandozeilenparameter :"), row++, 0, 1, 2);
    for (const auto& entry : kSwitches) {
        grid->addWidget(MakeLabel(*dialog, entry[0]), row, 0);
        grid->addWidget(MakeLabel(*dialog, entry[1]), row, 1);
        ++row;
    }
    layout->addLayout(grid);
    layout->addWidget(MakeOkButton(*dialog), 0, Qt::AlignHCenter);
    return dialog;
}

std::unique_ptr<QDialog> MakeFileFormatDialog(QWidget* parent)
{
    struct Line {
        const char* text;
        bool indented;
    };
    static const Line kLines[] = {
        {"Das Dateiformat für die ./Game??" "?/Game.txt Dateien :", false},  // split so that no trigraph forms
        {"Erste Zeile :", false},
        {"Die erste Zeile enhält die Frage die im ", true},
        {"Bildschim oben angezeigt wird.", true},
        {"Weiter Zeilen: ", false},
        {"Die weiteren Zeilen enthalten die möglichen", true},
        {"Antworten. Bei mehreren Antworten wird   ", true},
        {"Zufällig eine ausgewählt. Zeilenumbrüche ", true},
        {"mit einem | Zeichen markiert.", true},
        {"Mit @??? am Zeilenanfang kann die ", true},
        {"Schaltzeit eingestellt werden.", true},
    };
    auto dialog = MakeDialog(parent, "Dateiformat");
    auto* layout = new QVBoxLayout(dialog.get());
    for (const auto& line : kLines) {
        QLabel* label = MakeLabel(*dialog, line.text);
        if (line.indented)
            label->setContentsMargins(16, 0, 0, 0);
        layout->addWidget(label);
    }
    layout->addSpacing(8);
    layout->addWidget(MakeOkButton(*dialog), 0, Qt::AlignHCenter);
    return dialog;
}
