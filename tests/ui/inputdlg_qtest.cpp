// The prompts driven as the quiz master drives them: type into the field, press OK or cancel.
#include "ui/InputDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `whileOpen` once the modal loop of the dialog runs, then returns DoModal's result.
int RunModal(CInputDlgBase& dialog, std::function<void(CInputDlgBase&)> whileOpen)
{
    QTimer::singleShot(0, &dialog, [&dialog, whileOpen] { whileOpen(dialog); });
    return dialog.DoModal();
}

QLineEdit* Edit(CInputDlgBase& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("editField"));
}

// Types `text` and clicks `button`, or presses Return without one.
void TypeAndPress(CInputDlgBase& dialog, const QString& text, const char* button)
{
    QLineEdit* edit = Edit(dialog);
    edit->clear();
    QTest::keyClicks(edit, text);
    if (button)
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    else
        QTest::keyClick(edit, Qt::Key_Return);
}

}  // namespace

class InputDlgTest : public QObject {
    Q_OBJECT
private slots:
    void numberParsing_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("hex suffix") << QStringLiteral("12h") << 18;
        QTest::newRow("negative hex") << QStringLiteral("-0x10") << -16;
        QTest::newRow("trailing junk") << QStringLiteral("5000ms") << 5000;
        QTest::newRow("overflow saturates") << QStringLiteral("99999999999") << -1;
        QTest::newRow("Return is OK") << QStringLiteral("0x1F") << 31;
    }
    void numberParsing()
    {
        QFETCH(QString, input);
        QFETCH(int, expected);
        CNumberInputDlg dialog;
        dialog.SetValue(777);
        const bool viaReturn = QByteArray(QTest::currentDataTag()) == "Return is OK";
        const int result = RunModal(dialog, [&](CInputDlgBase& d) { TypeAndPress(d, input, viaReturn ? nullptr : "okButton"); });
        QCOMPARE(result, kDialogOk);
        QCOMPARE(dialog.GetValue(), expected);
    }

    void numberCancelKeepsValue()
    {
        CNumberInputDlg dialog;
        dialog.SetValue(5000);
        const int result = RunModal(dialog, [](CInputDlgBase& d) { TypeAndPress(d, QStringLiteral("9"), "cancelButton"); });
        QCOMPARE(result, kDialogCancel);
        QCOMPARE(dialog.GetValue(), 5000);
    }

    void initialTextInEveryFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("shown");
        QTest::newRow("signed") << 0 << QStringLiteral("-10");
        QTest::newRow("0x") << 1 << QStringLiteral("0xFFFFFFF6");
        QTest::newRow("h") << 4 << QStringLiteral("FFFFFFF6h");
        QTest::newRow("unsigned") << 9 << QStringLiteral("4294967286");
    }
    void initialTextInEveryFormat()
    {
        QFETCH(int, format);
        QFETCH(QString, shown);
        CNumberInputDlg dialog;
        dialog.SetValue(-10, format);
        QString seen;
        RunModal(dialog, [&seen](CInputDlgBase& d) {
            seen = Edit(d)->text();
            d.reject();
        });
        QCOMPARE(seen, shown);
    }

    void getTextCutsToBuffer()
    {
        CTextInputDlg dialog;
        QCOMPARE(RunModal(dialog, [](CInputDlgBase& d) {
                     Edit(d)->setText(QString(40, QLatin1Char('x')) + QString::fromUtf8("ä"));
                     QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
                 }),
                 kDialogOk);
        QCOMPARE(dialog.Text().size(), std::size_t{41});
        QCOMPARE(static_cast<unsigned char>(dialog.Text().back()), 0xE4u);  // Windows-1252 a-umlaut

        char buffer[32];
        std::memset(buffer, 'Z', sizeof buffer);
        QCOMPARE(dialog.GetText(buffer, 32), 31);
        QCOMPARE(buffer[31], '\0');
        QCOMPARE(buffer[30], 'x');

        char small[4] = {'a', 'b', 'c', 'd'};
        QCOMPARE(dialog.GetText(small, 0), 0);
        QCOMPARE(small[0], 'a');
        QCOMPARE(dialog.GetText(small, 1), 0);
        QCOMPARE(small[0], '\0');
    }

    void textRoundTripsCp1252()
    {
        CTextInputDlg dialog;
        dialog.SetText("R\xE4tsel");
        QString shown;
        RunModal(dialog, [&shown](CInputDlgBase& d) {
            shown = Edit(d)->text();
            d.accept();
        });
        QCOMPARE(shown, QString::fromUtf8("Rätsel"));
        QCOMPARE(dialog.Text(), std::string("R\xE4tsel"));
    }

};

QTEST_MAIN(InputDlgTest)
#include "inputdlg_qtest.moc"
