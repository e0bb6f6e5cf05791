#include "support/SettingsKey.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class SettingsKeyTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(folder_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    }

    void missingAndUnreadableValuesLeaveTheDefault()
    {
        CSettingsKey key;
        std::uint32_t number = 77;
        std::string text = "unchanged";
        std::vector<std::string> list{"keep"};
        QVERIFY(!key.ReadDword("NoSuchValue", number));
        QVERIFY(!key.ReadString("NoSuchValue", text));
        QVERIFY(!key.ReadMultiString("NoSuchValue", list));
        QCOMPARE(number, 77u);
        QCOMPARE(text, std::string("unchanged"));
        QCOMPARE(list.size(), std::size_t{1});

        key.WriteString("StarSize", "gross");
        std::int32_t size = 0;
        QVERIFY(!key.ReadDword("StarSize", size));
        QCOMPARE(size, 0);
        key.WriteMultiString("SwitchTime", {"a", "b"});
        QVERIFY(!key.ReadDword("SwitchTime", number));
        QCOMPARE(number, 77u);
    }

    void valuesSurviveANewKeyObject()
    {
        {
            CSettingsKey key;
            key.WriteDword("SwitchTime", 5000);
            key.WriteString("PicPath", "/home/quiz/Rätsel");
            key.WriteMultiString("NameList", {"/a/b.png", "/c, d.png", "e"});
            key.SubKey("Settings").WriteDword("IsZoomed", 1);
        }
        CSettingsKey key;
        std::uint32_t number = 0;
        QVERIFY(key.ReadDword("SwitchTime", number));
        QCOMPARE(number, 5000u);
        std::string text;
        QVERIFY(key.ReadString("PicPath", text));
        QCOMPARE(text, std::string("/home/quiz/Rätsel"));
        std::vector<std::string> list;
        QVERIFY(key.ReadMultiString("NameList", list));
        QCOMPARE(list, (std::vector<std::string>{"/a/b.png", "/c, d.png", "e"}));
        QVERIFY(CSettingsKey("Settings").ReadDword("IsZoomed", number));
        QCOMPARE(number, 1u);
        QVERIFY(!key.ReadDword("IsZoomed", number));  // the subkey is separate from the key
    }

private:
    QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(SettingsKeyTest)
#include "settingskey_qtest.moc"
