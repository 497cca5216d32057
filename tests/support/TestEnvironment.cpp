#include "support/TestEnvironment.h"

#include <QDir>

namespace {

// Removed again when the test process exits.
QTemporaryDir& homeDir()
{
    static QTemporaryDir dir(QDir::tempPath() + "/nerix-test-XXXXXX");
    return dir;
}

// No display, and no proxy of the machine's own to see, or swallow, the suite's requests.
const char* const kUnset[] = {"DISPLAY", "LANGUAGE", "http_proxy", "https_proxy", "all_proxy", "no_proxy"};

// The system's environment with its home folders pointing into root (created here).
QProcessEnvironment homeIn(const QString& root)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, path] : {std::pair{"HOME", ""},
                                     {"XDG_CONFIG_HOME", "/.config"},
                                     {"XDG_CACHE_HOME", "/.cache"},
                                     {"XDG_DATA_HOME", "/.local/share"},
                                     {"XDG_STATE_HOME", "/.local/state"},
                                     {"XDG_RUNTIME_DIR", "/runtime"},
                                     {"TMPDIR", "/tmp"}}) {
        QDir().mkpath(root + path);
        env.insert(name, root + path);
    }
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("LANG", "C.UTF-8");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : kUnset)
        env.remove(name);
    return env;
}

} // namespace

void TestEnvironment::setUp()
{
    if (!homeDir().isValid())
        qFatal("cannot create a temporary home");
    const QProcessEnvironment env = homeIn(homeDir().path());
    for (const QString& key : env.keys())
        qputenv(key.toLocal8Bit().constData(), env.value(key).toLocal8Bit());
    for (const char* name : kUnset)
        qunsetenv(name);
}

QProcessEnvironment TestEnvironment::environmentFor(const QTemporaryDir& dir)
{
    return homeIn(dir.path());
}
