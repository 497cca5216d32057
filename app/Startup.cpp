#include "app/Startup.h"

#include "BuildConfig.h"
#include "app/Signals.h"
#include "app/SingleApplication.h"
#include "app/TextRendering.h"
#include "core/ExistingInstall.h"
#include "core/LogHandler.h"
#include "core/Resources.h"
#include "core/Translator.h"
#include "nerixSetupOnline/PageBackground.h"
#include "nerixSetupOnline/QuestionBox.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "nerixSetupOnline/nerixSetupOnline.h"

#include <QDebug>
#include <QStandardPaths>

void setApplicationAttributes()
{
    // The window keeps its logical size on 125-200 % screens. Qt picks the
    // "@2x" pictures for style-sheet backgrounds by itself; the labels'
    // "image:" rules go through QIcon, which does so only with high-DPI pixmaps.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Windows' scales are exact quarter steps: use them as they are (1.5, not
    // 2). X servers without a set DPI report odd ones (1.04) that are better
    // rounded, as Qt does by default.
    if (QSysInfo::productType() == QLatin1String("windows"))
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // Nothing here draws with OpenGL. Without this, the first window would
    // set up the system's OpenGL (on X, loading its driver libraries) as a
    // surface that widgets could compose textures into.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
}

int runInstaller(int argc, char** argv)
{
    TextRendering::preload();
    setApplicationAttributes();
    const QString appId = greenTheme ? QStringLiteral("onlinesetup-green") : QStringLiteral("onlinesetup");
    SingleApplication app(appId, argc, argv);
    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("raise_window_noop"), 3000);
        return 0;
    }

    TextRendering::configure();
    initNerixResources();
    // Decoded on the other core while the window is built.
    PageBackground::preload();

    // Not in the log file: the handler is installed below.
    qDebug() << QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    loadTranslator();
    const QString uninstallCommand = checkAlreadyInstall();
    if (!uninstallCommand.isEmpty())
        offerUninstall(uninstallCommand);

    // From the wide command line on Windows: argv is in the ANSI code page
    // there, which cannot hold every channel name.
    const QStringList arguments = QCoreApplication::arguments();
    const QString param = arguments.size() >= 2 ? arguments.at(1) : QString();

    qInstallMessageHandler(logMessageHandler);
    // Ending the session is answered like the close box's Yes: the workers
    // stop and are waited for before the process ends. Requests are served
    // by the event loop, so the window exists by then. QWidget::close, unlike
    // closeAllWindows, is not the window system's close, which asks first.
    Signals::onTerminationRequest([] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            window->close();
    });
    qDebug() << "param>>>>>" << param;

    nerixSetupOnline window;
    // A logout during the install waits for the user's word, with the
    // window's own message as the reason.
    Signals::holdSessionEndWhile(
        &window, [&window] { return window.workersRunning(); }, WindowLogic::installingText());
    window.setLaunchParameter(param);
    app.setActivationWindow(&window, true);
    window.show();
    return app.exec();
}
