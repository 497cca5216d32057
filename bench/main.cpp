// Benchmark driver: one measurement per process, its result as one JSON line
// on standard output. bench/run starts it, with a private home each time.
#include "DownloadBench.h"
#include "FetchBench.h"
#include "FlowBench.h"
#include "InstallBench.h"
#include "core/LogHandler.h"
#include "core/Resources.h"
#include "download/DownloadManager.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <cstdio>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initNerixResources();
    DownloadManager::globalInit();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("nerixSetupOnline benchmark driver"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("mode"), QStringLiteral("download, fetch, install or flow"));
    const QCommandLineOption url(QStringLiteral("url"), QStringLiteral("Package URL (download)."),
                                 QStringLiteral("url"));
    const QCommandLineOption bytes(QStringLiteral("expect-bytes"), QStringLiteral("Package size (download)."),
                                   QStringLiteral("n"));
    const QCommandLineOption package(QStringLiteral("package"), QStringLiteral("7z package (install)."),
                                     QStringLiteral("path"));
    const QCommandLineOption installDir(QStringLiteral("install-dir"),
                                        QStringLiteral("Install folder (install)."), QStringLiteral("path"));
    const QCommandLineOption installerDir(QStringLiteral("installer-dir"),
                                          QStringLiteral("Folder of the second copy pass (install)."),
                                          QStringLiteral("path"));
    const QCommandLineOption unsigned_(QStringLiteral("unsigned"),
                                       QStringLiteral("No signature check: no keys (fetch)."));
    parser.addOptions({url, bytes, package, installDir, installerDir, unsigned_});
    parser.process(app);

    // Log lines cost what they cost in the installer.
    qInstallMessageHandler(logMessageHandler);

    const QString mode = parser.positionalArguments().value(0);
    QJsonObject result;
    if (mode == QLatin1String("download") && parser.isSet(url) && parser.isSet(bytes)) {
        result = DownloadBench(parser.value(url), parser.value(bytes).toLongLong()).run();
    } else if (mode == QLatin1String("fetch") && parser.isSet(url) && parser.isSet(bytes)) {
        result =
            FetchBench(parser.value(url), parser.value(bytes).toLongLong(), !parser.isSet(unsigned_)).run();
    } else if (mode == QLatin1String("install") && parser.isSet(package) && parser.isSet(installDir) &&
               parser.isSet(installerDir)) {
        result =
            InstallBench(parser.value(package), parser.value(installDir), parser.value(installerDir)).run();
    } else if (mode == QLatin1String("flow") && parser.isSet(url) && parser.isSet(installerDir)) {
        result = FlowBench(parser.value(url), parser.value(installerDir)).run();
    } else {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    std::fputs(QJsonDocument(result).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputs("\n", stdout);
    return result.value(QStringLiteral("ok")).toBool() ? 0 : 1;
}
