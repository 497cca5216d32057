#include "nerixSetupOnline/nerixSetupOnline.h"

#include "BuildConfig.h"
#include "core/ChannelManager.h"
#include "flow/InstallFlow.h"
#include "install/ProductFiles.h"
#include "nerixSetupOnline/ClickFilter.h"
#include "nerixSetupOnline/FrameShadow.h"
#include "nerixSetupOnline/GreenTheme.h"
#include "nerixSetupOnline/KeyboardAccess.h"
#include "nerixSetupOnline/LocationPage.h"
#include "nerixSetupOnline/PageBackground.h"
#include "nerixSetupOnline/PageImages.h"
#include "nerixSetupOnline/QuestionBox.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "telemetry/MachineIdentifier.h"
#include "telemetry/OperationLog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkReply>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kSlideIntervalMs = 3000;

} // namespace

nerixSetupOnline::nerixSetupOnline(QWidget* parent)
    : QWidget(parent), operationLog(new OperationLog(this)), flow(new InstallFlow(operationLog, this)),
      clicks(new ClickFilter(this))
{
    ui.setupUi(this);
    location = new LocationPage(ui, operationLog, this);
    new PageBackground(ui.page_2);

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowIcon(QIcon(QStringLiteral(":/nerixSetupOnline/Resources/about_us_logo.png")));
    setAttribute(Qt::WA_TranslucentBackground);
    // Plain widgets paint their style-sheet background only with this attribute.
    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3})
        button->setAttribute(Qt::WA_StyledBackground);
    connectControls();
    connect(flow, &InstallFlow::updateProgress, this, &nerixSetupOnline::updateProgress);
    connect(flow, &InstallFlow::updateFailed, this, &nerixSetupOnline::updateFailed);
    connect(flow, &InstallFlow::installProgress, this, &nerixSetupOnline::installProgress);
    connect(flow, &InstallFlow::installSuccess, this, &nerixSetupOnline::installSuccess);
    connect(flow, &InstallFlow::installFailed, this, &nerixSetupOnline::installFailed);
    connect(flow, &InstallFlow::launched, this, &QWidget::hide);

    operationLog->send(QStringLiteral("pc-install-show"));
    if (greenTheme)
        applyGreenTheme(this, ui);
}

nerixSetupOnline::~nerixSetupOnline()
{
    flow->stop();
}

// Every label that acts as a button sends its event before it acts.
void nerixSetupOnline::connectControls()
{
    const auto report = [this](const char* event) {
        operationLog->send(QLatin1String(event));
    };
    clicks->add(ui.lbClose, [this] { requestClose(); });
    clicks->add(
        ui.label_min,
        [this, report] {
            report("pc-install-min");
            showMinimized();
        },
        ClickFilter::On::Release);
    clicks->add(ui.lb_custom, [this, report] {
        report("pc-install-custom");
        ui.stackedWidget->setCurrentIndex(1);
    });
    for (QWidget* link : {ui.lb_agreement, ui.lb_agreement_2}) {
        clicks->add(link, [report] {
            report("pc-install-agreement");
            QDesktopServices::openUrl(QUrl(WindowLogic::agreementUrl()));
        });
    }
    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2}) {
        clicks->add(button, [this] {
            if (ui.btnSetupview_2->isEnabled())
                startInstallation();
        });
    }
    clicks->add(ui.btnSetupview_3, [this] { launchProduct(); });
    for (QWidget* tick : {ui.label_4, ui.label_8}) {
        clicks->add(tick, [this, report] {
            report("pc-install-check");
            location->toggleAgreement();
        });
    }
    clicks->add(ui.btnDir);
    clicks->add(ui.pushButton_3);
}

void nerixSetupOnline::setLaunchParameter(const QString& param)
{
    const ChannelFields channel = ChannelManager::parseChannel(param);
    operationLog->setChannel(channel);
    flow->setChannel(channel);
    qDebug() << "mode>>>>>>>>>>>>>>>>>>>" << channel.mode << operationLog->baseUrl();
    flow->setPackageUrl(WindowLogic::packageUrl(channel.mode, greenTheme, freeEdition));
    initInstall();
}

void nerixSetupOnline::setExitHandler(std::function<void(int)> handler)
{
    flow->setExitHandler(std::move(handler));
}

bool nerixSetupOnline::workersRunning() const
{
    return flow->isBusy();
}

QString nerixSetupOnline::installFolder() const
{
    return location->installPath();
}

QString nerixSetupOnline::packageDownloadUrl() const
{
    return flow->packageUrl();
}

void nerixSetupOnline::initInstall()
{
    flow->prepare();
    ui.stackedWidget->setCurrentIndex(1);
    ui.pushButton_3->hide();

    location->showDefaultFolder();
    qDebug() << flow->packageUrl();

    PageImages::centreSmallPictures(this);
    connect(ui.stackedWidget, &QStackedWidget::currentChanged, this, &nerixSetupOnline::pageShown);
    focusRing = setUpKeyboardAndReaders(ui);
    pageShown(ui.stackedWidget->currentIndex());
}

void nerixSetupOnline::pageShown(int index)
{
    PageImages::restore(ui.stackedWidget->widget(index));
    // Each page's main button holds the focus, so Return alone installs and
    // then starts the product; the progress page has none until a failure.
    if (index == 1)
        (ui.btnSetupview_2->isEnabled() ? static_cast<QWidget*>(ui.btnSetupview_2) : ui.btnDir)->setFocus();
    else if (index == 3)
        ui.btnSetupview_3->setFocus();
    else
        setFocus();
}

void nerixSetupOnline::on_btnDir_clicked()
{
    location->chooseFolder();
}

void nerixSetupOnline::keyPressEvent(QKeyEvent* event)
{
    // Escape and Alt+F4 (where the window system passes it on) act as the close box.
    if (event->key() == Qt::Key_Escape ||
        (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier)) {
        requestClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

void nerixSetupOnline::requestClose()
{
    if (askToClose())
        close();
}

bool nerixSetupOnline::askToClose()
{
    if (askingClose) // already asked: the answer to the open question decides
        return false;
    operationLog->send(QStringLiteral("pc-install-close"));
    askingClose = true;
    const bool yes = confirmClose();
    askingClose = false;
    return yes;
}

bool nerixSetupOnline::confirmClose()
{
    QMessageBox box(QMessageBox::Question, QObject::tr("language2"),
                    flow->phase() == InstallFlow::Phase::Installed ? tr("language3") : tr("language4"),
                    QMessageBox::Yes | QMessageBox::No, nullptr,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    applyYesNoCaptions(box);
    return box.exec() == QMessageBox::Yes;
}

void nerixSetupOnline::startInstallation()
{
    slideIndex = 0;
    QTimer::singleShot(kSlideIntervalMs, this, SLOT(changePage()));
    operationLog->send(QStringLiteral("pc-install-go"));
    ui.proTxt->setText(WindowLogic::installingText());
    ui.stackedWidget->setCurrentIndex(2);
    flow->start(location->installPath());
}

void nerixSetupOnline::changePage()
{
    if (slideIndex > 2)
        slideIndex = 0;
    ui.stackedWidget_2->setCurrentIndex(slideIndex);
    ++slideIndex;
    QTimer::singleShot(kSlideIntervalMs, this, SLOT(changePage()));
}

void nerixSetupOnline::paintEvent(QPaintEvent* event)
{
    if (!painted) {
        painted = true;
        // Once this paint pass has reached the screen.
        QTimer::singleShot(0, this, [this] {
            // Not before: the query tool's process would compete with the
            // window's own start for the processor.
            MachineIdentifier::start();
            operationLog->release();
            location->scanDrives();
            // The other pages get their pictures now rather than when the
            // install button is pressed.
            for (int index = 0; index < ui.stackedWidget->count(); ++index)
                PageImages::restore(ui.stackedWidget->widget(index));
        });
    }
    // Only the margin around the frame shows the shadow.
    if (QRegion(rect()).subtracted(ui.frame->geometry()).intersects(event->region())) {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        frameShadow().paint(painter, ui.frame->geometry());
    }
    QWidget::paintEvent(event);
}

const FrameShadow& nerixSetupOnline::frameShadow()
{
    // Black at 30 %, blurred by 10 pixels, centred under the frame.
    static const FrameShadow shadow(10, QColor(0, 0, 0, int(0.3 * 255)));
    return shadow;
}

void nerixSetupOnline::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragOffset = event->globalPos() - frameGeometry().topLeft();
    event->accept();
    dragging = true;
}

void nerixSetupOnline::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging || !(event->buttons() & Qt::LeftButton))
        return;
    move(event->globalPos() - dragOffset);
    event->accept();
}

void nerixSetupOnline::mouseReleaseEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
    dragging = false;
}

void nerixSetupOnline::closeEvent(QCloseEvent* event)
{
    // The window system's close (Alt+F4, the task bar) asks like the close box;
    // the close box's own Yes and the end of the session close at once.
    if (event->spontaneous() && !askToClose()) {
        event->ignore();
        return;
    }
    // A worker must never outlive the window that owns it.
    flow->stop();
    QWidget::closeEvent(event);
}

void nerixSetupOnline::setProgress(int per)
{
    const int value = WindowLogic::barValue(int(flow->phase()), per);
    ui.proTxt_2->setText(QString::number(value) + QLatin1Char('%'));
    ui.progressBar->setValue(value);
    ui.progressBar->update();
}

void nerixSetupOnline::updateProgress(double per)
{
    setProgress(int(per));
}

void nerixSetupOnline::installProgress(double per)
{
    setProgress(int(per));
}

void nerixSetupOnline::showFailure(const QString& text)
{
    ui.pushButton_3->show();
    ui.pushButton_3->setFocus();
    ui.proTxt->setText(text);
}

void nerixSetupOnline::updateFailed(int code)
{
    showFailure(tr("language5") + QStringLiteral("2-!") + QString::number(code));
    qDebug() << "updateFailed,error code:" << code;
    ui.lbClose->show();
}

void nerixSetupOnline::installFailed(int code)
{
    showFailure(tr("language5") + QStringLiteral("1-!") + QString::number(code));
    ui.lbClose->show();
}

void nerixSetupOnline::installSuccess()
{
    ui.lbClose->show();
    ui.stackedWidget->setCurrentIndex(3);
}

void nerixSetupOnline::on_pushButton_3_clicked()
{
    ui.proTxt->setText(WindowLogic::installingText());
    slideIndex = 0;
    ui.pushButton_3->hide();
    operationLog->send(QStringLiteral("pc-install-failed"));
    ui.lbClose->hide();
    flow->start(location->installPath());
    setProgress(0);
    ui.stackedWidget->setCurrentIndex(2);
}

void nerixSetupOnline::launchProduct()
{
    QNetworkReply* post = operationLog->send(QStringLiteral("pc-install-setup"));
    flow->launch(ProductFiles::program(location->installPath(), greenTheme), post);
}
