#include "support/TestEnvironment.h"

#include <QDir>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace {

QTemporaryDir* homeDir()
{
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/nerix-test-XXXXXX"));
        if (!d->isValid()) {
            std::fprintf(stderr, "cannot create a temporary home\n");
            std::abort();
        }
        return d;
    }();
    return dir;
}

const char* const kHomeVariables[][2] = {
    {"HOME", ""},
    {"XDG_CONFIG_HOME", "/.config"},
    {"XDG_CACHE_HOME", "/.cache"},
    {"XDG_DATA_HOME", "/.local/share"},
    {"XDG_STATE_HOME", "/.local/state"},
    {"XDG_RUNTIME_DIR", "/runtime"},
    {"TMPDIR", "/tmp"},
};

} // namespace

void TestEnvironment::fillHome(QProcessEnvironment& env, const QString& root)
{
    for (const auto& var : kHomeVariables) {
        const QString path = root + QLatin1String(var[1]);
        QDir().mkpath(path);
        env.insert(QLatin1String(var[0]), path);
    }
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("LANGUAGE"));
}

void TestEnvironment::setUp()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    fillHome(env, homeDir()->path());
    for (const QString& key : env.keys())
        qputenv(key.toLocal8Bit().constData(), env.value(key).toLocal8Bit());
    qunsetenv("DISPLAY");
    qunsetenv("LANGUAGE");
}

QString TestEnvironment::home()
{
    return homeDir()->path();
}

QString TestEnvironment::sourceDir()
{
    return qEnvironmentVariable("NERIX_SOURCE_DIR");
}

QString TestEnvironment::installerExe()
{
    return qEnvironmentVariable("NERIX_INSTALLER_EXE");
}

QProcessEnvironment TestEnvironment::environmentFor(const QTemporaryDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    fillHome(env, dir.path());
    return env;
}
