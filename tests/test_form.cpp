#include "support/TestEnvironment.h"
#include "ui_nerixSetupOnline.h"

#include <QBoxLayout>
#include <QRegularExpression>
#include <QStackedLayout>
#include <QTranslator>
#include <utility>

namespace {

// The form on a plain top-level widget, as the window hosts it.
struct Form
{
    Form()
    {
        ui.setupUi(&top);
        // The window gives its plain-widget buttons a styled background; so does the test.
        for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3})
            button->setAttribute(Qt::WA_StyledBackground);
    }

    template <typename T = QWidget> T* find(const QString& name) const
    {
        return name == top.objectName() ? qobject_cast<T*>(const_cast<QWidget*>(&top))
                                        : top.findChild<T*>(name);
    }

    QWidget top;
    Ui::nerixSetupOnlineClass ui;
};

const QString kResources = QStringLiteral(":/nerixSetupOnline/Resources/");

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}

QColor pixel(QWidget* widget, const QPoint& at)
{
    return widget->grab().toImage().pixelColor(at);
}

// Columns of the widget's picture where the text colour appears: the caption's horizontal extent.
std::pair<int, int> inkColumns(QWidget* widget, const QColor& ink)
{
    const QImage image = widget->grab().toImage();
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (near(image.pixelColor(x, y), ink)) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

QString textOf(QWidget* widget)
{
    return widget->isWindow() ? widget->windowTitle() : widget->property("text").toString();
}

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void objects_data();
    void objects();
    void pagesAndInitialState();
    void layouts();
    void images_data();
    void images();
    void everyStyleSheetImageExists();
    void pageBackgroundsStayOnThePage();
    void buttonsPaintTheirColours();
    void captionsAreCentred();
    void texts_data();
    void texts();
};

void TestForm::objects_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry"); // an empty size checks the position only

    const auto row = [](const char* name, const char* cls, const char* parent, int x, int y, int w = 0,
                        int h = 0) {
        QTest::newRow(name) << cls << parent << QRect(x, y, w, h);
    };
    row("frame", "QFrame", "nerixSetupOnlineClass", 5, 5, 1024, 720);
    row("stackedWidget", "QStackedWidget", "frame", 0, 0, 1024, 720);
    row("lbClose", "QLabel", "frame", 960, 22, 20, 20);
    row("label_min", "QLabel", "frame", 908, 22, 20, 20);
    row("label_2", "QLabel", "page", 438, 96, 148, 141);
    row("label_3", "QLabel", "page", -1000, 89, 311, 33);
    row("btnSetupview", "QWidget", "page", 245, 209, 160, 50);
    row("label_4", "QLabel", "page", 20, 330, 17, 17);
    row("horizontalLayoutWidget", "QWidget", "page", 40, 330, 391, 22);
    row("lb_custom", "QLabel", "page", 459, 330, 171, 20);
    row("label_17", "QLabel", "page_2", 438, 96, 148, 141);
    row("label_16", "QLabel", "page_2", -2970, 52, 331, 33);
    row("label_12", "QLabel", "page_2", 162, 300, 391, 21);
    row("lineEdit", "QLineEdit", "page_2", 160, 337, 700, 48);
    row("btnDir", "QPushButton", "page_2", 741, 337, 121, 48);
    row("label_11", "QLabel", "page_2", 162, 401);
    row("lb_size1", "QLabel", "page_2", 250, 401);
    row("label_14", "QLabel", "page_2", 340, 401);
    row("lb_size2", "QLabel", "page_2", 430, 401);
    row("label_23", "QLabel", "page_2", 163, 454, 601, 20);
    row("label_7", "QLabel", "page_2", 220, 490, 561, 20);
    row("btnSetupview_2", "QWidget", "page_2", 394, 539, 235, 48);
    row("label_8", "QLabel", "page_2", 45, 681, 14, 14);
    row("widget", "QWidget", "page_2", 68, 680, 167, 16);
    row("stackedWidget_2", "QStackedWidget", "page_3", 0, 0, 1024, 720);
    row("label_18", "QLabel", "page_3", 44, 16, 176, 41);
    row("proTxt", "QLabel", "page_3", 44, 557, 361, 21);
    row("proTxt_2", "QLabel", "page_3", 610, 557, 361, 21);
    row("progressBar", "QProgressBar", "page_3", 44, 590, 936, 16);
    row("pushButton_3", "QPushButton", "page_3", 930, 680, 80, 30);
    row("label_31", "QLabel", "page_7", 395, 200, 235, 193);
    row("label_30", "QLabel", "page_7", -2970, 89, 235, 193);
    row("btnSetupview_3", "QWidget", "page_7", 395, 455, 235, 48);
}

void TestForm::objects()
{
    QFETCH(QString, cls);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    Form form;
    QWidget* widget = form.find(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    // Exact classes: the window relies on plain widgets for its button areas.
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), cls);
    QVERIFY(widget->parentWidget());
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    if (geometry.isEmpty())
        QCOMPARE(widget->pos(), geometry.topLeft());
    else
        QCOMPARE(widget->geometry(), geometry);
}

void TestForm::pagesAndInitialState()
{
    Form form;
    const Ui::nerixSetupOnlineClass& ui = form.ui;
    QCOMPARE(form.top.objectName(), QStringLiteral("nerixSetupOnlineClass"));
    QCOMPARE(form.top.size(), QSize(1034, 730));
    QCOMPARE(ui.frame->frameShape(), QFrame::StyledPanel);
    QCOMPARE(ui.frame->frameShadow(), QFrame::Raised);

    const QStringList pages = {"page", "page_2", "page_3", "page_7"};
    QCOMPARE(ui.stackedWidget->count(), pages.size());
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(ui.stackedWidget->widget(i)->objectName(), pages.at(i));
    QCOMPARE(ui.stackedWidget->currentIndex(), 1);
    QCOMPARE(ui.stackedWidget_2->count(), 2);
    QCOMPARE(ui.stackedWidget_2->widget(0), ui.page_4);
    QCOMPARE(ui.stackedWidget_2->widget(1), ui.page_5);
    QCOMPARE(ui.stackedWidget_2->currentIndex(), 0);
    QCOMPARE(ui.label_20->parentWidget(), ui.page_4);
    QCOMPARE(ui.label_19->parentWidget(), ui.page_4);
    QCOMPARE(ui.label_21->parentWidget(), ui.page_5);
    QCOMPARE(ui.label_22->parentWidget(), ui.page_5);

    QVERIFY(!ui.lineEdit->isEnabled());
    QCOMPARE(ui.lineEdit->text(), QStringLiteral("xcvxv"));
    QCOMPARE(ui.progressBar->minimum(), 0);
    QCOMPARE(ui.progressBar->maximum(), 100);
    QCOMPARE(ui.progressBar->value(), 0);
    QVERIFY(!ui.progressBar->isTextVisible());
    QVERIFY(ui.proTxt_2->alignment() & Qt::AlignRight);

    for (QWidget* clickable :
         {static_cast<QWidget*>(ui.lbClose), static_cast<QWidget*>(ui.label_min),
          static_cast<QWidget*>(ui.lb_agreement), static_cast<QWidget*>(ui.lb_agreement_2),
          static_cast<QWidget*>(ui.lb_custom), ui.btnSetupview_2})
        QCOMPARE(clickable->cursor().shape(), Qt::PointingHandCursor);
}

void TestForm::layouts()
{
    Form form;
    const Ui::nerixSetupOnlineClass& ui = form.ui;
    // Absolute geometry everywhere else: only the four small rows carry a layout.
    int boxes = 0;
    for (QLayout* layout : form.top.findChildren<QLayout*>()) {
        if (!qobject_cast<QStackedLayout*>(layout)) {
            QVERIFY2(qobject_cast<QHBoxLayout*>(layout), qPrintable(layout->objectName()));
            ++boxes;
        }
    }
    QCOMPARE(boxes, 4);

    const auto order = [](QWidget* box, const QList<QWidget*>& expected) {
        QList<QWidget*> found;
        for (int i = 0; box->layout() && i < box->layout()->count(); ++i) {
            if (QWidget* w = box->layout()->itemAt(i)->widget())
                found << w;
        }
        return found == expected;
    };
    QVERIFY(order(ui.horizontalLayoutWidget, {ui.label_5, ui.lb_agreement}));
    QVERIFY(order(ui.widget, {ui.label_9, ui.lb_agreement_2}));
    QVERIFY(order(ui.btnSetupview, {ui.label, ui.label_6}));
    QVERIFY(order(ui.btnSetupview_2, {ui.label_13}));
    QCOMPARE(ui.label_28->parentWidget(), ui.btnSetupview_3);
}

void TestForm::images_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("label_2") << "about_us_logo.png";
    QTest::newRow("label_17") << "about_us_logo.png";
    QTest::newRow("label_18") << "about_us_logo2.png";
    QTest::newRow("label_31") << "about_us_logo3.png";
    QTest::newRow("label_20") << "img1.png";
    QTest::newRow("label_21") << "img2.png";
    QTest::newRow("label_4") << "agree_agreement.png";
    QTest::newRow("label_8") << "agree_agreement.png";
    QTest::newRow("label_6") << "arr.png";
    QTest::newRow("lbClose") << "icon_closse.png";
    QTest::newRow("label_min") << "icon_min.png";
}

// The green look rewrites "Resources/" in label style sheets, so every label image must be set there.
void TestForm::images()
{
    QFETCH(QString, file);
    Form form;
    auto* label = form.find<QLabel>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(label);
    QVERIFY2(label->styleSheet().contains(QStringLiteral("image: url(%1%2);").arg(kResources, file)),
             qPrintable(label->styleSheet()));
    const QImage image(kResources + file);
    QVERIFY(!image.isNull());
    // A label smaller than its picture would squeeze it.
    QVERIFY2(image.width() <= label->width() && image.height() <= label->height(),
             qPrintable(QStringLiteral("%1x%2").arg(image.width()).arg(image.height())));

    // The agreement toggle writes exactly this text back; the initial state must match it.
    if (label == form.ui.label_4 || label == form.ui.label_8)
        QCOMPARE(label->styleSheet(), QStringLiteral("image: url(%1agree_agreement.png);").arg(kResources));
}

void TestForm::everyStyleSheetImageExists()
{
    Form form;
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    int urls = 0;
    for (QWidget* widget : form.top.findChildren<QWidget*>()) {
        auto it = url.globalMatch(widget->styleSheet());
        while (it.hasNext()) {
            const QString path = it.next().captured(1).trimmed();
            ++urls;
            QVERIFY2(path.startsWith(kResources), qPrintable(widget->objectName() + QLatin1Char(' ') + path));
            QVERIFY2(QFile::exists(path), qPrintable(widget->objectName() + QLatin1Char(' ') + path));
        }
    }
    QVERIFY(urls >= 16); // eleven label images and five page backgrounds
}

void TestForm::pageBackgroundsStayOnThePage()
{
    Form form;
    form.top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.top));
    const std::pair<QWidget*, QString> pages[] = {{form.ui.page_2, "bg.png"},
                                                  {form.ui.page_3, "bg2.png"},
                                                  {form.ui.page_4, "bg2.png"},
                                                  {form.ui.page_5, "bg2.png"},
                                                  {form.ui.page_7, "bg.png"}};
    for (const auto& [page, file] : pages) {
        // An unscoped rule would repaint the background inside every child of the page.
        const QRegularExpression scoped(
            QStringLiteral("^\\s*#%1\\s*\\{[^{}]*url\\(%2%3\\)[^{}]*\\}\\s*$")
                .arg(page->objectName(), QRegularExpression::escape(kResources), file));
        QVERIFY2(scoped.match(page->styleSheet()).hasMatch(), qPrintable(page->styleSheet()));

        // Hidden pages are not laid out: show each one as the window would.
        if (page->parentWidget() == form.ui.stackedWidget_2) {
            form.ui.stackedWidget->setCurrentWidget(form.ui.page_3);
            form.ui.stackedWidget_2->setCurrentWidget(page);
        } else {
            form.ui.stackedWidget->setCurrentWidget(page);
        }
        QTRY_COMPARE(page->size(), QSize(1024, 720));

        const QImage background(kResources + file);
        const QImage shown = page->grab().toImage();
        for (const QPoint& at : {QPoint(2, 2), QPoint(1020, 716), QPoint(600, 640)}) {
            QVERIFY2(near(shown.pixelColor(at), background.pixelColor(at)),
                     qPrintable(page->objectName() + shown.pixelColor(at).name()));
        }
    }
}

void TestForm::buttonsPaintTheirColours()
{
    Form form;
    const Ui::nerixSetupOnlineClass& ui = form.ui;
    form.top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.top));
    const QColor blue(65, 126, 238);
    const QColor grey(206, 206, 206);

    QVERIFY(near(pixel(ui.btnSetupview, {6, 25}), QColor(73, 137, 254)));
    QVERIFY(near(pixel(ui.btnSetupview_2, {6, 24}), blue));
    QVERIFY(near(pixel(ui.btnSetupview_3, {6, 24}), blue));
    QVERIFY(near(pixel(ui.btnDir, {110, 24}), blue));
    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, static_cast<QWidget*>(ui.btnDir)}) {
        button->setEnabled(false);
        QVERIFY2(near(pixel(button, {6, 24}), grey), qPrintable(button->objectName()));
    }
    // The disabled path field stays readable on white.
    QVERIFY(near(pixel(ui.lineEdit, {8, 24}), Qt::white));

    ui.progressBar->setValue(50);
    QVERIFY(near(pixel(ui.progressBar, {200, 8}), QColor(0x3B, 0x7E, 0xEE)));
    QVERIFY(near(pixel(ui.progressBar, {800, 8}), QColor(0xE2, 0xE6, 0xED)));
}

void TestForm::captionsAreCentred()
{
    Form form;
    form.top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.top));
    for (QWidget* button : {form.ui.btnSetupview_2, form.ui.btnSetupview_3}) {
        const auto [first, last] = inkColumns(button, Qt::white);
        QVERIFY2(first > 0, qPrintable(button->objectName()));
        const int left = first;
        const int right = button->width() - 1 - last;
        QVERIFY2(qAbs(left - right) <= 3,
                 qPrintable(QStringLiteral("%1: %2 | %3").arg(button->objectName()).arg(left).arg(right)));
    }
}

void TestForm::texts_data()
{
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english"); // null: shown as in Chinese

    const auto row = [](const char* name, const char* zh, const char* en = nullptr) {
        QTest::newRow(name) << QString::fromUtf8(zh) << (en ? QString::fromUtf8(en) : QString());
    };
    row("nerixSetupOnlineClass", "nerixSetupOnline");
    row("label", "立即安装", "install now");
    row("label_13", "立即安装", "install now");
    row("label_28", "立即启动", "Start immediately");
    row("label_3", "Corvane", "Corvanix");
    row("label_16", "Corvane", "Corvanix");
    row("label_30", "Corvane", "Corvanix");
    row("label_5", "我已阅读并同意", "I have read and agree");
    row("label_9", "我已阅读并同意", "I have read and agree");
    row("lb_agreement", "用户使用协议", "User Agreement");
    row("lb_agreement_2", "用户使用协议", "User Agreement");
    row("lb_custom", "自定义安装 >>", "Custom installation >>");
    row("btnDir", "浏览", "Open");
    row("label_12", "安装路径：", "installation path:");
    row("label_11", "占用空间：", "take up space:");
    row("label_14", "可用空间：", "Available space:");
    row("label_7", "磁盘空间不足，请选择其他安装目录进行安装！",
        "Insufficient disk space, please choose another installation directory to install!");
    row("pushButton_3", "重新安装", "re-install");
    row("lb_size1", "212.1MB");
    row("lb_size2", "12.2GB");
    row("lineEdit", "xcvxv");
    row("label_23", "温馨提示：请勿将本程序安装至您需要恢复的分区，以免待恢复的数据文件被覆盖！");
    row("label_19", "支持电脑、硬盘、回收站、U盘、SD卡、相机等各类存储设备数据恢复");
    row("label_22", "支持照片、文档、视频、邮件、音乐等多种文件格式恢复");
    row("proTxt", "正在安装中，请不要关闭…");
    row("proTxt_2", "0%");
}

// The form's source texts, then both catalogues applied by retranslateUi.
void TestForm::texts()
{
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    Form form;
    QWidget* widget = form.find(name);
    QVERIFY(widget);
    QCOMPARE(textOf(widget), chinese);

    const std::pair<QString, QString> languages[] = {{"zh", chinese},
                                                     {"en", english.isNull() ? chinese : english}};
    for (const auto& [language, expected] : languages) {
        QTranslator translator;
        QVERIFY(translator.load(
            QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_%1.qm").arg(language)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        form.ui.retranslateUi(&form.top);
        const QString shown = textOf(widget);
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(shown, expected);
    }
}

NERIX_TEST_MAIN(TestForm)
#include "test_form.moc"
