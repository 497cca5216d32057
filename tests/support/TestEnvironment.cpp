#include "support/TestEnvironment.h"

#include <QDir>
#include <QtGlobal>

namespace {

// Removed again when the test process exits.
QTemporaryDir& homeDir()
{
    static QTemporaryDir dir(QDir::tempPath() + "/nerix-test-XXXXXX");
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

// Points the environment's home folders into root (creating them).
void fillHome(QProcessEnvironment& env, const QString& root)
{
    for (const auto& var : kHomeVariables) {
        const QString path = root + QLatin1String(var[1]);
        QDir().mkpath(path);
        env.insert(QLatin1String(var[0]), path);
    }
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("LANG", "C.UTF-8");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("DISPLAY");
    env.remove("LANGUAGE");
}

} // namespace

void TestEnvironment::setUp()
{
    if (!homeDir().isValid())
        qFatal("cannot create a temporary home");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    fillHome(env, homeDir().path());
    for (const QString& key : env.keys())
        qputenv(key.toLocal8Bit().constData(), env.value(key).toLocal8Bit());
    qunsetenv("DISPLAY");
    qunsetenv("LANGUAGE");
}

QString TestEnvironment::home()
{
    return homeDir().path();
}

QProcessEnvironment TestEnvironment::environmentFor(const QTemporaryDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    fillHome(env, dir.path());
    return env;
}
