#include "support/TestEnvironment.h"

#include <QFile>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>
#include <utility>

namespace {

struct Entry
{
    const char* context;
    QString key;
    QString chinese; // null: no translation, the source text is shown
    QString english;
};

const QString kNone;

QString html(const char* body)
{
    return QStringLiteral("<html><head/><body><p align=\"center\">") + QString::fromUtf8(body) +
           QStringLiteral("</p></body></html>");
}

// The whole catalogue, both languages.
const QVector<Entry>& catalogue()
{
    static const QVector<Entry> entries = [] {
        const QString ad = html("专业数据恢复团队打造一键自助恢复");
        const QString devices =
            html("<span>支持电脑，硬盘，回收站，U盘，SD卡，相机等<br/>各类存储设备数据恢复</span>");
        const QString formats = html("支持照片，文档，视频，邮件，音乐<br/>等550+种文件格恢复");
        QVector<Entry> e = {
            {"QObject", "language2", "提示", "Tip"},
            {"QObject", "language6", "Quorbel", "Corvanix2"},
            {"QObject", "language7", "Corvane", "Corvanix"},
            {"QObject", "language9", "请勿将本程序安装到你需要恢复的分区，以免要恢复的文件被覆盖！",
             // a literal backslash and n, not a line break
             "Please do not install this program to the partition you need to restore, \\nto avoid "
             "overwriting the files to be restored!"},
            {"QObject", "language10", "检测到已安装了程序，是否要卸载已安装的程序？",
             "Detected that the program has been installed, do you want to uninstall the installed program?"},
            {"nerixSetupOnline", "language1", "正在安装，请稍后（已完成",
             "Installing, please wait (completed"},
            {"nerixSetupOnline", "language2", "提示", "Tip"},
            {"nerixSetupOnline", "language3", "已经安装成功，是否关闭安装程序？",
             "Has been successfully installed, close the installation program?"},
            {"nerixSetupOnline", "language4", "是否要退出安装程序？", "Do you want to exit the installer?"},
            {"nerixSetupOnline", "language5", "安装失败", "installation failed"},
            {"nerixSetupOnline", "language6", "Quorbel", "Corvanix2"},
            {"nerixSetupOnline", "Open Directory", kNone, kNone},
            {"InstallThread", "language6", "Quorbel", "Corvanix2"},
            {"InstallThread", "language7", "Corvane", "Corvanix"},
            {"InstallThread", "language8", "卸载", "卸载"},
            {"nerixSetupOnlineClass", "nerixSetupOnline", "nerixSetupOnline", kNone},
            {"nerixSetupOnlineClass", "自定义安装 >>", "自定义安装 >>", "Custom installation >>"},
            {"nerixSetupOnlineClass", "自定义安装", "自定义安装", "Custom installation"},
            {"nerixSetupOnlineClass", "Corvane", "Corvane", "Corvanix"},
            {"nerixSetupOnlineClass", "立即安装", "立即安装", "install now"},
            {"nerixSetupOnlineClass", "我已阅读并同意", "我已阅读并同意", "I have read and agree"},
            {"nerixSetupOnlineClass", "用户使用协议", "用户使用协议", "User Agreement"},
            {"nerixSetupOnlineClass", "浏览", "浏览", "Open"},
            {"nerixSetupOnlineClass", "安装路径：", "安装路径：", "installation path:"},
            {"nerixSetupOnlineClass", "磁盘空间不足，请选择其他安装目录进行安装！",
             "磁盘空间不足，请选择其他安装目录进行安装！",
             "Insufficient disk space, please choose another installation directory to install!"},
            {"nerixSetupOnlineClass", "占用空间：", "占用空间：", "take up space:"},
            {"nerixSetupOnlineClass", "可用空间：", "可用空间：", "Available space:"},
            {"nerixSetupOnlineClass", "212.1MB", "212.1MB", kNone},
            {"nerixSetupOnlineClass", "12.2GB", "12.2GB", kNone},
            {"nerixSetupOnlineClass", "重新安装", "重新安装", "re-install"},
            {"nerixSetupOnlineClass", "立即启动", "立即启动", "Start immediately"},
            {"nerixSetupOnlineClass", "正在安装，请稍后（已完成72%）", kNone, kNone},
            {"nerixSetupOnlineClass", ad, ad,
             "<html> <head /> <body> <p align = \"center\"> Professional data recovery team creates "
             "one-click "
             "self-recovery </ p> </ body> </ html>"},
            {"nerixSetupOnlineClass", devices, devices,
             "<html><head/><body><p align=\"center\"><span>Support computer, hard disk, recycle bin, U disk, "
             "SD "
             "card, camera, etc. <br/> recovery of various storage devices</span></p></body></html>"},
            // the English text really ends without its closing bracket
            {"nerixSetupOnlineClass", formats, formats,
             "<html><head/><body><p align = \"center\"> Support 550+ kinds of file format recovery such as "
             "photos, "
             "documents, videos, emails, music <br/> </ p> </ body> </ html\""},
        };
        return e;
    }();
    return entries;
}

QString qmPath(const QString& language)
{
    return QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_%1.qm").arg(language);
}

// (context, source) pairs of a Linguist source file.
QSet<QPair<QString, QString>> tsKeys(const QString& path)
{
    QSet<QPair<QString, QString>> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            keys.insert({context, xml.readElementText()});
    }
    return xml.hasError() ? QSet<QPair<QString, QString>>() : keys;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void translate_data();
    void translate();
    void sourcesHoldExactlyTheCatalogue_data();
    void sourcesHoldExactlyTheCatalogue();
    void unknownKeysFallBackToTheKey();
};

void TestTranslations::translate_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");
    int index = 0;
    for (const Entry& e : catalogue()) {
        const QString tag = QStringLiteral("%1 %2/%3").arg(++index).arg(e.context, e.key.left(20));
        QTest::newRow(qPrintable(tag)) << QString::fromLatin1(e.context) << e.key << e.chinese << e.english;
    }
}

// Checks each compiled file directly and as the application sees it.
void TestTranslations::translate()
{
    QFETCH(QString, context);
    QFETCH(QString, key);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    const QByteArray ctx = context.toUtf8();
    const QByteArray src = key.toUtf8();
    const std::pair<QString, QString> languages[] = {{QStringLiteral("zh"), chinese},
                                                     {QStringLiteral("en"), english}};
    for (const auto& [language, expected] : languages) {
        QTranslator translator;
        QVERIFY2(translator.load(qmPath(language)), qPrintable(language));

        const QString found = translator.translate(ctx.constData(), src.constData());
        if (expected.isNull()) {
            // An empty but non-null translation would blank the text on screen.
            QVERIFY2(found.isNull(), qPrintable(language + QStringLiteral(": ") + found));
        } else {
            QCOMPARE(found, expected);
        }

        QVERIFY(QCoreApplication::installTranslator(&translator));
        const QString shown = QCoreApplication::translate(ctx.constData(), src.constData());
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(shown, expected.isNull() ? key : expected);
    }
}

void TestTranslations::sourcesHoldExactlyTheCatalogue_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("zh") << QStringLiteral("nerixsetuponline_zh.ts");
    QTest::newRow("en") << QStringLiteral("nerixsetuponline_en.ts");
}

// Extra entries (a stray form text, a key in the wrong context) would change what the window shows.
void TestTranslations::sourcesHoldExactlyTheCatalogue()
{
    QFETCH(QString, file);
    QSet<QPair<QString, QString>> expected;
    for (const Entry& e : catalogue())
        expected.insert({QString::fromLatin1(e.context), e.key});

    const QSet<QPair<QString, QString>> found =
        tsKeys(TestEnvironment::sourceDir() + QStringLiteral("/nerixSetupOnline/language/") + file);
    for (const auto& key : found - expected)
        qWarning() << "unexpected" << key.first << key.second;
    for (const auto& key : expected - found)
        qWarning() << "missing" << key.first << key.second;
    QCOMPARE(found.size(), catalogue().size());
    QCOMPARE(found, expected);
}

// Keys are looked up per context: a key asked for in another context is shown as the bare key.
void TestTranslations::unknownKeysFallBackToTheKey()
{
    QTranslator translator;
    QVERIFY(translator.load(qmPath(QStringLiteral("en"))));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const QString wrongContext = QCoreApplication::translate("InstallThread", "language2");
    const QString formText = QCoreApplication::translate("nerixSetupOnlineClass", "正在安装中，请不要关闭…");
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(wrongContext, QStringLiteral("language2"));
    QCOMPARE(formText, QStringLiteral("正在安装中，请不要关闭…"));
}

NERIX_TEST_MAIN(TestTranslations)
#include "test_translations.moc"
