// The signature's two lines field by field, and each way a text fails to be
// one, against signatures minisign made with the suite's key a.
#include "download/PackageHasher.h"
#include "download/PackageSignature.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

using Check = PackageSignature::Check;

class TestPackageSignature : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QByteArray m_file = "the package";
    QByteArray m_digest;                     // what "ED" signs: PackageHasher's digest of the file
    QList<QByteArray> m_prehashed, m_legacy; // each text's lines
    PackageSignature::Keys m_keys;           // b, then a

private slots:
    void initTestCase()
    {
        for (bool legacy : {false, true}) {
            const QString name = legacy ? "legacy" : "prehashed";
            QVERIFY(
                PackageBuilder::writeTree(m_dir.path(), {{name, m_file}}) &&
                PackageBuilder::sign(m_dir.filePath(name), QStringList{"-t", "release 1"} +
                                                               (legacy ? QStringList{"-l"} : QStringList())));
            (legacy ? m_legacy : m_prehashed) = readAll(m_dir.filePath(name + ".minisig")).split('\n');
        }
        const auto keyLine = [](char letter) {
            return readAll(PackageBuilder::testKey(letter).replace(".key", ".pub")).split('\n').value(1);
        };
        m_keys = PackageSignature::parseKeys(keyLine('b') + "\n" + keyLine('a'))
                     .value_or(PackageSignature::Keys());
        QCOMPARE(m_keys.size(), 2);
        // One line that is not a public key spoils the list.
        QVERIFY(!PackageSignature::parseKeys(keyLine('a') + " " + m_prehashed[1]) &&
                !PackageSignature::parseKeys(keyLine('a') + " x"));
        QCOMPARE(PackageSignature::parseKeys(" \n")->size(), 0);
        PackageHasher hasher;
        hasher.addData(m_file.constData(), size_t(m_file.size()));
        m_digest = hasher.result();
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("legacy"); // what is signed is the file itself, not its digest
        QTest::addColumn<int>("check");
        const auto text = [](QList<QByteArray> lines, int index = -1, const QByteArray& line = {}) {
            if (index >= 0)
                lines[index] = line;
            return lines.join('\n');
        };
        // Flips one byte of a base64 line's bytes; or, with a size, cuts or pads them to it.
        const auto bytes = [&](int line, int at, int size = -1) {
            QByteArray raw = QByteArray::fromBase64(m_prehashed[line]);
            if (size < 0)
                raw[at] = char(~raw[at]);
            raw.resize(size < 0 ? raw.size() : size);
            return text(m_prehashed, line, raw.toBase64());
        };
        const auto row = [](const char* name, const QByteArray& signature, Check check, bool legacy = false) {
            QTest::newRow(name) << signature << legacy << int(check);
        };
        const QByteArray comment = "trusted comment: release 1";
        row("prehashed", text(m_prehashed), Check::Verified);
        row("legacy", text(m_legacy), Check::Verified, true);
        row("CRLF, blank lines after", text(m_prehashed).replace("\n", "\r\n") + "\n\n", Check::Verified);
        // The second line: algorithm, key id, signature.
        row("unknown algorithm",
            text(m_prehashed, 1, QByteArray::fromBase64(m_prehashed[1]).replace(0, 2, "EX").toBase64()),
            Check::Malformed);
        row("other key id", bytes(1, 5), Check::UnknownKey);
        row("changed signature", bytes(1, 40), Check::FileChanged);
        row("signature line long", bytes(1, 0, 75), Check::Malformed);
        row("bad base64", text(m_prehashed, 1, "*" + m_prehashed[1].mid(1)), Check::Malformed);
        // The fourth: the global signature over the signature and the trusted comment.
        row("changed trusted comment", text(m_prehashed, 2, comment + "!"), Check::CommentChanged);
        row("changed global signature", bytes(3, 10), Check::CommentChanged);
        row("global signature short", bytes(3, 0, 63), Check::Malformed);
        row("no untrusted comment", text(m_prehashed, 0, "comment: x"), Check::Malformed);
        row("no trusted comment", text(m_prehashed, 2, "release 1"), Check::Malformed);
        row("a fifth line", text(m_prehashed) + "x\n", Check::Malformed);
        row("overlong", text(m_prehashed, 2, comment + QByteArray(PackageSignature::kMaxBytes, 'x')),
            Check::Malformed);
        row("a page", "<html><body>Not here</body></html>\n", Check::Malformed);
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, legacy);
        QFETCH(int, check);
        const PackageSignature signature(text);
        const QByteArray& message = legacy ? m_file : m_digest;
        const Check found = signature.check(
            m_keys, reinterpret_cast<const unsigned char*>(message.constData()), size_t(message.size()));
        QCOMPARE(int(found), check);
        QCOMPARE(signature.isWellFormed(), found != Check::Malformed);
        if (found == Check::Verified) {
            QCOMPARE(signature.signsDigest(), !legacy);
            QCOMPARE(signature.keyId(), QByteArray("D33C8E97AB993183")); // as minisign prints it
            QCOMPARE(signature.trustedComment(), QByteArray("release 1"));
        }
    }
};

NERIX_TEST_MAIN(TestPackageSignature)
#include "test_package_signature.moc"
