// What a reinstall removes from the install folder @ (in ^, beside
// ^/outside.txt): @ holds a.txt, "a,b.txt", the user's a, sub/b.txt, and links
// out (up, a folder link to ^; link.txt, to ^/outside.txt).
#include "install/ReinstallPlan.h"
#include "support/PackageBuilder.h"
#include "support/TestEnvironment.h"

class TestReinstallPlan : public QObject
{
    Q_OBJECT

private slots:
    void plan_data()
    {
        QTest::addColumn<QString>("manifest");
        QTest::addColumn<QString>("remove");
        QTest::addColumn<QString>("ignored");
        const auto row = [](const char* tag, const char* manifest, const char* remove,
                            const char* ignored = "") {
            QTest::newRow(tag) << manifest << remove << ignored;
        };
        row("listed files", "@/a.txt,@/sub/b.txt,", "@/a.txt @/sub/b.txt");
        row("a comma in a name", "@/a,b.txt,@/sub/b.txt,", "@/a,b.txt @/sub/b.txt");
        row("gone already, or a folder", "@/gone.txt,@/sub,@/sub/,", "");
        row("outside", "^/outside.txt,@/a.txt", "@/a.txt", "^/outside.txt");
        row("out through ..", "@/../outside.txt,@/sub/../../outside.txt,", "",
            "@/../outside.txt @/sub/../../outside.txt");
        row("out through links", "@/up/outside.txt,@/link.txt,", "", "@/up/outside.txt @/link.txt");
        row("relative", "a.txt,", "", "a.txt");
        row("empty", "", "");
    }
    void plan()
    {
        QFETCH(QString, manifest);
        QFETCH(QString, remove);
        QFETCH(QString, ignored);
        const QTemporaryDir root;
        const QString r = root.path(), d = r + "/app";
        QVERIFY(PackageBuilder::writeTree(r, {{"outside.txt", "o"},
                                              {"app/a.txt", "a"},
                                              {"app/a,b.txt", "ab"},
                                              {"app/a", "mine"},
                                              {"app/sub/b.txt", "b"}}) &&
                QFile::link(r, d + "/up") && QFile::link(r + "/outside.txt", d + "/link.txt"));
        const auto paths = [&](QString text) {
            return text.replace('@', d).replace('^', r).split(' ', Qt::SkipEmptyParts);
        };
        const ReinstallPlan plan = ReinstallPlan::fromManifest(manifest.replace('@', d).replace('^', r), d);
        QCOMPARE(plan.remove, paths(remove));
        QCOMPARE(plan.ignored, paths(ignored));
    }
};

NERIX_TEST_MAIN(TestReinstallPlan)
#include "test_reinstallplan.moc"
