// The two compiled catalogues: what the code and the form ask for, in both languages.
#include "support/TestEnvironment.h"

#include <QTranslator>

namespace {

// In the tables: any translation other than the key itself.
const QString kAny = QStringLiteral("*");

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("chinese"); // null: no translation, the source text is shown
        QTest::addColumn<QString>("english");
        const auto row = [](const char* context, const char* key, const QString& zh, const QString& en) {
            QTest::addRow("%s/%s", context, key)
                << QString::fromLatin1(context) << QString::fromUtf8(key) << zh << en;
        };
        // Every key the code asks for, in the context it asks in.
        for (const char* key : {"language2", "language6", "language7", "language10"})
            row("QObject", key, kAny, kAny);
        for (const char* key :
             {"language2", "language3", "language4", "language5", "language11", "language12"})
            row("nerixSetupOnline", key, kAny, kAny);
        row("nerixSetupOnline", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language6", "Quorbel", "Corvanix2");
        row("InstallThread", "language7", "Corvane", "Corvanix");
        // The uninstall shortcut keeps its Chinese prefix in English.
        row("InstallThread", "language8", QString::fromUtf8("卸载"), QString::fromUtf8("卸载"));
        // Placeholders and the title are shown as written in both languages.
        for (const char* key : {"nerixSetupOnline", "212.1MB", "12.2GB"})
            row("nerixSetupOnlineClass", key, QString(), QString());
    }

    // Each compiled file as Qt reads it.
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
            const QString found =
                translator.translate(context.toUtf8().constData(), key.toUtf8().constData());
            // An empty but non-null translation would blank the text on screen.
            QVERIFY2(expected.isNull()
                         ? found.isNull()
                         : (expected == kAny ? !found.isEmpty() && found != key : found == expected),
                     qPrintable(language + QStringLiteral(": ") + found));
        }
    }
};

NERIX_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
