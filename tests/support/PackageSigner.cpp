#include "support/PackageSigner.h"

#include <QProcess>
#include <QtGlobal>

namespace {

bool minisign(const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("minisign"), args);
    process.closeWriteChannel();
    if (process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    qWarning("minisign failed (%s): %s", qPrintable(process.errorString()), process.readAll().constData());
    return false;
}

} // namespace

QString PackageSigner::testKey(char letter)
{
    return qEnvironmentVariable("NERIX_SOURCE_DIR") +
           QStringLiteral("/tests/data/test-key-%1.key").arg(letter);
}

bool PackageSigner::sign(const QString& file, const QString& secretKey, bool legacy,
                         const QString& trustedComment)
{
    QStringList args{"-S", "-s", secretKey, "-m", file};
    if (legacy)
        args << "-l";
    if (!trustedComment.isEmpty())
        args << "-t" << trustedComment;
    return minisign(args);
}
