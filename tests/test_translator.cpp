// The compiled catalogues as Qt reads them, the catalogue chosen per
// language, and the Yes/No captions.
#include "core/Translator.h"
#include "nerixSetupOnline/QuestionBox.h"
#include "support/TestEnvironment.h"

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

    // Every key the code asks for, in the context it asks in, has a translation
    // other than the key in both catalogues: an empty but non-null one would blank
    // the text on screen. The uninstall shortcut keeps its Chinese prefix in English.
    void catalogues()
    {
        const std::pair<const char*, QStringList> keys[] = {
            {"QObject", {"language2", "language6", "language7", "language10"}},
            {"nerixSetupOnline",
             {"language2", "language3", "language4", "language5", "language6", "language11", "language12"}},
            {"InstallThread", {"language6", "language7"}}};
        for (const char* language : {"zh", "en"}) {
            QTranslator translator;
            QVERIFY(
                translator.load(":/nerixSetupOnline/language/nerixsetuponline_" + QLatin1String(language)));
            for (const auto& [context, names] : keys)
                for (const QString& key : names) {
                    const QString found = translator.translate(context, qPrintable(key));
                    QVERIFY2(!found.isEmpty() && found != key, qPrintable(language + (" " + key)));
                }
            QCOMPARE(translator.translate("InstallThread", "language8"), QString::fromUtf8("卸载"));
        }
    }
};

NERIX_TEST_MAIN(TestTranslator)
#include "test_translator.moc"
