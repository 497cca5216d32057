#include "support/TestEnvironment.h"
#include "ui_nerixSetupOnline.h"

#include <QRegularExpression>
#include <QTranslator>

namespace {

const QString kResources = QStringLiteral(":/nerixSetupOnline/Resources/");

// The form on a plain top-level widget, as the window hosts it.
struct Form
{
    Form()
    {
        ui.setupUi(&top);
        for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3})
            button->setAttribute(Qt::WA_StyledBackground);
    }
    QWidget top;
    Ui::nerixSetupOnlineClass ui;
};

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 3 && qAbs(a.green() - b.green()) <= 3 && qAbs(a.blue() - b.blue()) <= 3;
}

QColor pixel(QWidget* widget, const QPoint& at)
{
    return widget->grab().toImage().pixelColor(at);
}

// Object name -> shown text of the window title and every text-bearing widget.
QMap<QString, QString> textsOf(const QWidget& top)
{
    QMap<QString, QString> texts{{top.objectName(), top.windowTitle()}};
    for (QWidget* widget : top.findChildren<QWidget*>()) {
        const QString text = widget->property("text").toString();
        if (!text.isEmpty() && (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                                qobject_cast<QLineEdit*>(widget)))
            texts.insert(widget->objectName(), text);
    }
    return texts;
}

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void structureAndInitialState();
    void styleSheets();
    void painting();
    void texts();
};

void TestForm::structureAndInitialState()
{
    Form form;
    const Ui::nerixSetupOnlineClass& ui = form.ui;
    QCOMPARE(form.top.size(), QSize(1034, 730));

    // The window switches pages by index.
    const QList<QWidget*> pages = {ui.page, ui.page_2, ui.page_3, ui.page_7};
    for (int i = 0; i < pages.size(); ++i)
        QCOMPARE(ui.stackedWidget->widget(i), pages.at(i));
    QCOMPARE(ui.stackedWidget->count(), pages.size());
    QCOMPARE(ui.stackedWidget->currentIndex(), 1);
    QCOMPARE(ui.stackedWidget_2->widget(0), ui.page_4);
    QCOMPARE(ui.stackedWidget_2->widget(1), ui.page_5);
    QCOMPARE(ui.stackedWidget_2->currentIndex(), 0);

    // Each control on the page that serves it; the press-filtered button areas stay plain widgets.
    const std::pair<QWidget*, QWidget*> placed[] = {{ui.btnSetupview, ui.page},
                                                    {ui.btnSetupview_2, ui.page_2},
                                                    {ui.btnSetupview_3, ui.page_7},
                                                    {ui.lineEdit, ui.page_2},
                                                    {ui.btnDir, ui.page_2},
                                                    {ui.label_7, ui.page_2},
                                                    {ui.lb_size2, ui.page_2},
                                                    {ui.label_8, ui.page_2},
                                                    {ui.progressBar, ui.page_3},
                                                    {ui.pushButton_3, ui.page_3},
                                                    {ui.proTxt_2, ui.page_3},
                                                    {ui.label_28, ui.btnSetupview_3},
                                                    {ui.lb_agreement, ui.horizontalLayoutWidget},
                                                    {ui.lb_agreement_2, ui.widget}};
    for (const auto& [widget, parent] : placed)
        QVERIFY2(widget->parentWidget() == parent, qPrintable(widget->objectName()));
    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3})
        QCOMPARE(button->metaObject(), &QWidget::staticMetaObject);
    // Widening the agreement rows needs their layouts' size hints.
    QVERIFY(ui.widget->layout() && ui.horizontalLayoutWidget->layout());

    QVERIFY(!ui.lineEdit->isEnabled());
    QCOMPARE(ui.progressBar->minimum(), 0);
    QCOMPARE(ui.progressBar->maximum(), 100);
    QCOMPARE(ui.progressBar->value(), 0);
    QVERIFY(!ui.progressBar->isTextVisible());
    // The agreement toggle writes exactly this back; the initial tick must match it.
    for (QLabel* tick : {ui.label_4, ui.label_8})
        QCOMPARE(tick->styleSheet(), QStringLiteral("image: url(%1agree_agreement.png);").arg(kResources));
    for (QWidget* clickable : std::initializer_list<QWidget*>{
             ui.lbClose, ui.label_min, ui.lb_agreement, ui.lb_agreement_2, ui.lb_custom, ui.btnSetupview_2})
        QCOMPARE(clickable->cursor().shape(), Qt::PointingHandCursor);
}

// Every image resolves in the resources and fits its label (the green look
// rewrites "Resources/" in label style sheets); a container's rules are
// scoped to itself, or its background would repaint inside every child.
void TestForm::styleSheets()
{
    Form form;
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    int urls = 0;
    for (QWidget* widget : form.top.findChildren<QWidget*>()) {
        const QString style = widget->styleSheet();
        const QString name = widget->objectName();
        for (auto it = url.globalMatch(style); it.hasNext(); ++urls) {
            const QString path = it.next().captured(1).trimmed();
            const QImage image(path);
            QVERIFY2(path.startsWith(kResources) && !image.isNull(), qPrintable(name + ' ' + path));
            if (qobject_cast<QLabel*>(widget))
                QVERIFY2(image.width() <= widget->width() && image.height() <= widget->height(),
                         qPrintable(name));
        }
        if (!style.isEmpty() && !widget->findChildren<QWidget*>().isEmpty()) {
            const QRegularExpression scoped(QStringLiteral("^(\\s*#%1(:\\w+)?\\s*\\{[^{}]*\\})+\\s*$")
                                                .arg(QRegularExpression::escape(name)));
            QVERIFY2(scoped.match(style).hasMatch(), qPrintable(name + ' ' + style));
        }
    }
    QVERIFY(urls >= 16); // eleven label images and five page backgrounds
}

void TestForm::painting()
{
    Form form;
    const Ui::nerixSetupOnlineClass& ui = form.ui;
    form.top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form.top));

    // Backgrounds cover the whole page (hidden pages are not laid out: show each).
    const std::pair<QWidget*, const char*> backgrounds[] = {
        {ui.page_2, "bg.png"}, {ui.page_4, "bg2.png"}, {ui.page_5, "bg2.png"}, {ui.page_7, "bg.png"}};
    for (const auto& [page, file] : backgrounds) {
        ui.stackedWidget->setCurrentWidget(page->parentWidget() == ui.stackedWidget_2 ? ui.page_3 : page);
        ui.stackedWidget_2->setCurrentWidget(page->parentWidget() == ui.stackedWidget_2 ? page : ui.page_4);
        QTRY_COMPARE(page->size(), QSize(1024, 720));
        const QImage background(kResources + QLatin1String(file));
        for (const QPoint& at : {QPoint(2, 2), QPoint(1020, 716)})
            QVERIFY2(near(pixel(page, at), background.pixelColor(at)), qPrintable(page->objectName()));
    }

    // Enabled buttons are coloured, disabled ones grey; the disabled path field stays readable.
    for (QWidget* button : std::initializer_list<QWidget*>{ui.btnSetupview_2, ui.btnSetupview_3, ui.btnDir}) {
        QVERIFY2(near(pixel(button, {6, 24}), QColor(65, 126, 238)), qPrintable(button->objectName()));
        button->setEnabled(false);
        QVERIFY2(near(pixel(button, {6, 24}), QColor(206, 206, 206)), qPrintable(button->objectName()));
        button->setEnabled(true);
    }
    QVERIFY(near(pixel(ui.lineEdit, {8, 24}), Qt::white));
    ui.progressBar->setValue(50);
    QVERIFY(near(pixel(ui.progressBar, {200, 8}), QColor(0x3B, 0x7E, 0xEE)));
    QVERIFY(near(pixel(ui.progressBar, {800, 8}), QColor(0xE2, 0xE6, 0xED)));

    // Button captions are centred: as much space left of the white ink as right of it.
    for (QWidget* button : {ui.btnSetupview_2, ui.btnSetupview_3}) {
        const QImage image = button->grab().toImage();
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (near(image.pixelColor(x, y), Qt::white)) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        QVERIFY2(first > 0 && qAbs(first - (image.width() - 1 - last)) <= 3,
                 qPrintable(button->objectName()));
    }
}

// Chinese shows the form's own texts; English translates all but a few.
void TestForm::texts()
{
    Form form;
    const QMap<QString, QString> source = textsOf(form.top);
    QMap<QString, QString> shown[2];
    const char* languages[] = {"zh", "en"};
    for (int i = 0; i < 2; ++i) {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_%1.qm")
                                    .arg(QLatin1String(languages[i]))));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        form.ui.retranslateUi(&form.top);
        shown[i] = textsOf(form.top);
        QCoreApplication::removeTranslator(&translator);
    }
    QCOMPARE(shown[0], source);
    QCOMPARE(shown[1].keys(), source.keys());
    QStringList untranslated;
    for (auto it = source.cbegin(); it != source.cend(); ++it) {
        if (shown[1].value(it.key()) == it.value())
            untranslated << it.key();
    }
    QCOMPARE(untranslated, QStringList({"label_19", "label_22", "label_23", "lb_size1", "lb_size2",
                                        "lineEdit", "nerixSetupOnlineClass", "proTxt", "proTxt_2"}));
    QCOMPARE(shown[1].value("label_13"), QStringLiteral("install now"));
    QCOMPARE(shown[1].value("label_28"), QStringLiteral("Start immediately"));
    QCOMPARE(shown[1].value("label_16"), QStringLiteral("Corvanix"));
}

NERIX_TEST_MAIN(TestForm)
#include "test_form.moc"
