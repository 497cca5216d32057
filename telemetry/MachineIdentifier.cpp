#include "telemetry/MachineIdentifier.h"

#include "platform/ExternalTools.h"
#include "platform/MachineIdentity.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QStringList>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

const QString kUuidQuery = QStringLiteral("wmic csproduct get UUID");
const QString kProcessorQuery = QStringLiteral("wmic cpu get processorid");
constexpr int kQueryTimeoutMs = 30000;

QString md5Hex(const QString& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toLatin1(), QCryptographicHash::Md5).toHex());
}

// The computation's state; the worker is waited for when the process ends
// (the query's time limit bounds that wait).
struct State
{
    // Standard, not Qt's: the thread sanitizer sees through these.
    std::mutex mutex;
    std::condition_variable computed;
    std::unique_ptr<QThread> worker;
    bool known = false;
    QString identifier;

    ~State()
    {
        if (worker)
            worker->wait();
    }
};

State& state()
{
    static State state;
    return state;
}

// Before Qt's own globals go, which the query's process may still use.
void waitForWorker()
{
    State& s = state();
    std::unique_lock<std::mutex> locker(s.mutex);
    QThread* worker = s.worker.get();
    locker.unlock();
    if (worker)
        worker->wait();
}

QString compute()
{
    return computeMachineIdentifier({[](const QString& commandLine) {
                                         return ExternalTools::runMachineQuery(commandLine, kQueryTimeoutMs);
                                     },
                                     &MachineIdentity::firmwareUuid, &MachineIdentity::installationId});
}

} // namespace

QString cleanQueryOutput(const QString& commandLine, const QByteArray& output)
{
    // Wine's query tool writes UTF-16 with a byte-order mark.
    QString text = output.startsWith("\xFF\xFE")
                       ? QString::fromUtf16(reinterpret_cast<const ushort*>(output.constData() + 2),
                                            (output.size() - 2) / 2)
                       : QString::fromUtf8(output);
    const QString header = commandLine.split(QLatin1Char(' ')).constLast();
    if (!header.isEmpty())
        text.remove(header, Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text.simplified();
}

QString computeMachineIdentifier(const MachineSources& sources)
{
    QString uuid = cleanQueryOutput(kUuidQuery, sources.runQuery(kUuidQuery));
    if (uuid.isEmpty())
        uuid = sources.firmwareUuid().simplified();

    // Firmware that has no real UUID reports all F digits; the processor id
    // is the better identity there.
    QString identity = uuid;
    if (uuid.contains(QLatin1String("FFFFFFFF")))
        identity = cleanQueryOutput(kProcessorQuery, sources.runQuery(kProcessorQuery));
    if (identity.isEmpty())
        identity = sources.installationId().simplified();
    return md5Hex(identity);
}

MachineIdentifier& MachineIdentifier::instance()
{
    static MachineIdentifier notifier;
    return notifier;
}

void MachineIdentifier::start()
{
    MachineIdentifier& notifier = instance();
    State& s = state();
    const std::lock_guard<std::mutex> locker(s.mutex);
    if (s.worker)
        return;
    static const bool routine = (qAddPostRoutine(&waitForWorker), true);
    Q_UNUSED(routine)
    // A QThread, not a plain one: the query's QProcess needs an event dispatcher.
    s.worker.reset(QThread::create([&notifier, &s] {
        const QString identifier = compute();
        {
            const std::lock_guard<std::mutex> done(s.mutex);
            s.identifier = identifier;
            s.known = true;
            s.computed.notify_all();
        }
        emit notifier.known();
    }));
    s.worker->start();
}

bool MachineIdentifier::isKnown()
{
    const std::lock_guard<std::mutex> locker(state().mutex);
    return state().known;
}

QString MachineIdentifier::value()
{
    start();
    State& s = state();
    std::unique_lock<std::mutex> locker(s.mutex);
    s.computed.wait(locker, [&s] { return s.known; });
    return s.identifier;
}

void MachineIdentifier::whenKnown(QObject* context, const std::function<void()>& done)
{
    start();
    State& s = state();
    std::unique_lock<std::mutex> locker(s.mutex);
    if (s.known) {
        locker.unlock();
        done();
        return;
    }
    // Connected under the lock: the worker signals only after it has set known.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(
        &instance(), &MachineIdentifier::known, context,
        [connection, done] {
            disconnect(*connection);
            done();
        },
        Qt::QueuedConnection);
}

void MachineIdentifier::forget()
{
    State& s = state();
    std::unique_ptr<QThread> worker;
    {
        const std::lock_guard<std::mutex> locker(s.mutex);
        worker = std::move(s.worker);
    }
    if (worker)
        worker->wait();
    const std::lock_guard<std::mutex> locker(s.mutex);
    s.known = false;
    s.identifier.clear();
}
