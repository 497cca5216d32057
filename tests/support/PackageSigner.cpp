#include "support/PackageSigner.h"

#include "support/PackageBuilder.h"

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
    return PackageBuilder::runTool(QStringLiteral("minisign"), args);
}
