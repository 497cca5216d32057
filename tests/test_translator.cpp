// The compiled catalogues as Qt reads them, the catalogue chosen per
// language, and the Yes/No captions.
#include "core/Translator.h"
#include "nerixSetupOnline/QuestionBox.h"
#include "support/TestEnvironment.h"

namespace {

// In the table: any translation other than the key itself.
const QString kAny = QStringLiteral("*");

} // namespace

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    void languageAndCaptions()
    {
        // The locale codec is UTF-8 here, which would turn the GBK bytes into garbage.
        QCOMPARE(yesCaption(), QString::fromUtf8("是"));
        QCOMPARE(noCaption(), QString::fromUtf8("否"));
        QVERIFY(translationFileFor(QLocale::English).endsWith("_en.qm"));
        for (QLocale::Language other : {QLocale::Chinese, QLocale::German})
            QVERIFY(translationFileFor(other).endsWith("_zh.qm") && QFile::exists(translationFileFor(other)));
    }

    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        const auto row = [](const char* context, const char* key, const QString& zh, const QString& en) {
            QTest::addRow("%s/%s", context, key) << QString(context) << QString(key) << zh << en;
        };
        // Every key the code asks for, in the context it asks in.
        for (const char* key : {"language2", "language6", "language7", "language10"})
            row("QObject", key, kAny, kAny);
        for (const char* key :
             {"language2", "language3", "language4", "language5", "language6", "language11", "language12"})
            row("nerixSetupOnline", key, kAny, kAny);
        for (const char* key : {"language6", "language7"})
            row("InstallThread", key, kAny, kAny);
        // The uninstall shortcut keeps its Chinese prefix in English.
        row("InstallThread", "language8", QString::fromUtf8("卸载"), QString::fromUtf8("卸载"));
    }

    void translate()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        for (const auto& [language, expected] : {std::pair{"zh", chinese}, std::pair{"en", english}}) {
            QTranslator translator;
            QVERIFY(
                translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + QLatin1String(language)));
            const QString found = translator.translate(qPrintable(context), qPrintable(key));
            // An empty but non-null translation would blank the text on screen.
            QVERIFY2(expected == kAny ? !found.isEmpty() && found != key : found == expected,
                     qPrintable(language + QStringLiteral(": ") + found));
        }
    }
};

NERIX_TEST_MAIN(TestTranslator)
#include "test_translator.moc"
