#include "support/TestEnvironment.h"

#include <QDir>

namespace {

// No display, and no proxy of the machine's own to see, or swallow, the suite's requests.
const char* const kUnset[] = {"DISPLAY", "LANGUAGE", "http_proxy", "https_proxy", "all_proxy", "no_proxy"};

} // namespace

QProcessEnvironment TestEnvironment::environmentIn(const QString& root)
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

void TestEnvironment::setUp()
{
    static QTemporaryDir home(QDir::tempPath() + "/nerix-test-XXXXXX"); // removed again at exit
    if (!home.isValid())
        qFatal("cannot create a temporary home");
    const QProcessEnvironment env = environmentIn(home.path());
    for (const QString& key : env.keys())
        qputenv(key.toLocal8Bit().constData(), env.value(key).toLocal8Bit());
    for (const char* name : kUnset)
        qunsetenv(name);
}
