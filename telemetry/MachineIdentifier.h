#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

// 32 lower-case hex digits identifying this computer, computed once per
// process on a thread of its own: the query tool it asks can take seconds on
// a busy or freshly booted machine, and nothing on the GUI thread waits for
// it until a post leaves.
class MachineIdentifier : public QObject
{
    Q_OBJECT

public:
    // Starts the computation unless it has started; once the window is up.
    static void start();
    static bool isKnown();
    // The identifier; waits for the computation, starting it if need be.
    static QString value();
    // Calls done on context's thread once the identifier is known: at once
    // when it is, else from the event loop; never when context is gone first.
    static void whenKnown(QObject* context, const std::function<void()>& done);

signals:
    void known();

protected:
    // Waits for a computation under way, then forgets its result.
    static void forget();

private:
    MachineIdentifier() = default;
    static MachineIdentifier& instance();
};

// The cleaning applied to a query's output (UTF-8, or UTF-16 after a
// byte-order mark): the command's last word removed without regard to case,
// CR and LF removed, whitespace simplified.
QString cleanQueryOutput(const QString& commandLine, const QByteArray& output);

// Where the identity comes from. The hardware UUID the query tool prints,
// else the same UUID from the firmware table; a placeholder UUID (all F)
// gives way to the processor id. Only where all of these give nothing does
// the system installation's own id stand in, so that such computers do not
// all report the digest of empty input.
struct MachineSources
{
    std::function<QByteArray(const QString& commandLine)> runQuery;
    std::function<QString()> firmwareUuid;
    std::function<QString()> installationId;
};
QString computeMachineIdentifier(const MachineSources& sources);
