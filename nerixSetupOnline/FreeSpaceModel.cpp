#include "nerixSetupOnline/FreeSpaceModel.h"

#include "nerixSetupOnline/WindowLogic.h"
#include "platform/DiskSpace.h"

#include <QDebug>
#include <QVector>
#include <mutex>
#include <thread>

// What a query thread may still reach once the model is gone: nothing, as
// the model says so here before it goes.
struct FreeSpaceModel::Answers
{
    std::mutex lock;
    FreeSpaceModel* model = nullptr;
};

namespace {

constexpr double kBytesPerGiB = double(Q_UINT64_C(1) << 30);

} // namespace

FreeSpaceModel::FreeSpaceModel(QObject* parent) : QObject(parent), m_answers(std::make_shared<Answers>())
{
    m_answers->model = this;
}

FreeSpaceModel::~FreeSpaceModel()
{
    // A query still waiting on a drive ends on its own, unheard.
    const std::lock_guard<std::mutex> lock(m_answers->lock);
    m_answers->model = nullptr;
}

QString FreeSpaceModel::freeText(const QString& driveKey) const
{
    return isKnown(driveKey) ? WindowLogic::freeSpaceText(double(freeBytes(driveKey)) / kBytesPerGiB)
                             : QString();
}

void FreeSpaceModel::queryNow(const QString& path)
{
    store({{DiskSpace::driveKey(path), DiskSpace::freeBytes(path)}}, false);
}

void FreeSpaceModel::scanDrives()
{
    if (m_scanning)
        return;
    m_scanning = true;
    QStringList roots = DiskSpace::driveRoots();
    roots.removeAll(QString());
    ask(roots, true);
}

void FreeSpaceModel::query(const QString& path)
{
    ask({path}, false);
}

void FreeSpaceModel::ask(const QStringList& paths, bool logAll)
{
    // Detached: a drive that never answers must not hold up the exit either.
    std::thread([answers = m_answers, paths, logAll] {
        Results results;
        for (const QString& path : paths)
            results.append({DiskSpace::driveKey(path), DiskSpace::freeBytes(path)});
        const std::lock_guard<std::mutex> lock(answers->lock);
        if (FreeSpaceModel* model = answers->model) {
            QMetaObject::invokeMethod(
                model, [model, results, logAll] { model->store(results, logAll); }, Qt::QueuedConnection);
        }
    }).detach();
}

void FreeSpaceModel::store(const Results& results, bool logAll)
{
    for (const auto& result : results) {
        m_bytes.insert(result.first, result.second);
        emit known(result.first);
    }
    if (logAll) {
        QMap<QString, QString> texts;
        for (auto it = m_bytes.cbegin(); it != m_bytes.cend(); ++it)
            texts.insert(it.key(), freeText(it.key()));
        qDebug() << texts;
    }
}
