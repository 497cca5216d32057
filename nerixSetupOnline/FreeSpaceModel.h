#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <memory>

// The free space of each drive, as the location page shows it. Drives are
// asked on a thread of their own: a disconnected network drive can take tens
// of seconds to answer, and the window never waits for one.
class FreeSpaceModel : public QObject
{
    Q_OBJECT

public:
    explicit FreeSpaceModel(QObject* parent = nullptr);
    ~FreeSpaceModel() override;

    // Asked on the calling thread: the default folder's volume, which is
    // local, so that the first frame already shows its space.
    void queryNow(const QString& path);
    // Every drive, once; then the volume of any folder asked for.
    void scanDrives();
    void query(const QString& path);

    bool isKnown(const QString& driveKey) const { return m_bytes.contains(driveKey); }
    quint64 freeBytes(const QString& driveKey) const { return m_bytes.value(driveKey); }
    // "12.34GB"; empty while unknown.
    QString freeText(const QString& driveKey) const;

signals:
    void known(const QString& driveKey);

private:
    struct Answers;
    using Results = QVector<QPair<QString, quint64>>;

    void ask(const QStringList& paths, bool logAll);
    void store(const Results& results, bool logAll);

    std::shared_ptr<Answers> m_answers;
    QMap<QString, quint64> m_bytes;
    bool m_scanning = false;
};
