// The prompts driven as the quiz master drives them: type into the field, press OK or cancel.
#include "tests/ui/ModalSupport.h"
#include "ui/InputDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QLineEdit* Edit(QDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("editField"));
}

}  // namespace

class InputDlgTest : public QObject {
    Q_OBJECT
private slots:
    // OK and Cancel are driven through the view's prompts, the notations and formats are the
    // parser's; here Return, and the value shown in the format given.
    void numberReturnAndFormat()
    {
        CNumberInputDlg dialog;
        dialog.SetValue(-10, 4);
        QString shown;
        WhenShown<QDialog>([&shown](QDialog& d) {
            shown = Edit(d)->text();
            Edit(d)->clear();
            QTest::keyClicks(Edit(d), QStringLiteral("0x1F"));
            QTest::keyClick(Edit(d), Qt::Key_Return);
        });
        QCOMPARE(dialog.DoModal(), kDialogOk);
        QCOMPARE(shown, QStringLiteral("FFFFFFF6h"));
        QCOMPARE(dialog.GetValue(), 31);
    }

    void textInWindows1252CutToTheBuffer()
    {
        CTextInputDlg dialog;
        dialog.SetText("R\xE4tsel");
        QString shown;
        WhenShown<QDialog>([&shown](QDialog& d) {
            shown = Edit(d)->text();
            Edit(d)->setText(QString(40, QLatin1Char('x')) + QString::fromUtf8("ä"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QCOMPARE(dialog.DoModal(), kDialogOk);
        QCOMPARE(shown, QString::fromUtf8("Rätsel"));
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

};

QTEST_MAIN(InputDlgTest)
#include "inputdlg_qtest.moc"
