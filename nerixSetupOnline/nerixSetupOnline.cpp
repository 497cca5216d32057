#include "nerixSetupOnline/nerixSetupOnline.h"

#include "BuildConfig.h"
#include "app/ChannelManager.h"
#include "app/QuestionBox.h"
#include "download/TaskThread.h"
#include "install/InstallThread.h"
#include "nerixSetupOnline/ControlAccessible.h"
#include "nerixSetupOnline/FocusRing.h"
#include "nerixSetupOnline/FrameShadow.h"
#include "nerixSetupOnline/FreeSpaceModel.h"
#include "nerixSetupOnline/GreenTheme.h"
#include "nerixSetupOnline/PageBackground.h"
#include "nerixSetupOnline/PageImages.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "platform/DiskSpace.h"
#include "platform/Launcher.h"
#include "telemetry/OperationLogRecord.h"
#include "telemetry/OperationLogSender.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>
#include <utility>

namespace {

// How long the launch waits for its telemetry post before the process ends.
constexpr int kLastPostWaitMs = 2000;
constexpr int kSlideIntervalMs = 3000;
// The longest the first telemetry posts wait for the window's first paint.
constexpr int kEarlyPostsLatestMs = 5000;

bool isActivationKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return !key->isAutoRepeat() && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
           (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
}

void fitRow(QWidget* row)
{
    row->ensurePolished(); // the style sheets' fonts decide the width
    row->layout()->invalidate();
    row->resize(qMax(row->width(), row->layout()->sizeHint().width()), row->height());
}

// On a 2x screen Qt draws an "image:" picture that is smaller than its label
// at twice its size (the icon is sized by its pixels). As a centred
// background it keeps its size at every scale and still gets the @2x file.
QString centredSmallPicture(const QString& style, const QSize& labelSize)
{
    static const QRegularExpression rule(QStringLiteral("^image:\\s*url\\(([^)]*)\\);$"));
    const QRegularExpressionMatch match = rule.match(style.trimmed());
    const QSize picture = match.hasMatch() ? QImageReader(match.captured(1)).size() : QSize();
    if (!picture.isValid() || picture == labelSize || picture.boundedTo(labelSize) != picture)
        return style;
    return QStringLiteral(
               "background-image: url(%1); background-position: center; background-repeat: no-repeat;")
        .arg(match.captured(1));
}

void centreSmallPictures(QWidget* root)
{
    const QList<QLabel*> labels = root->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const QString style = label->styleSheet();
        const QString centred = centredSmallPicture(style, label->size());
        if (centred != style)
            label->setStyleSheet(centred);
        const QVariant later = label->property(PageImages::property);
        if (later.isValid())
            label->setProperty(PageImages::property, centredSmallPicture(later.toString(), label->size()));
    }
}

QString tickStyle(const char* folder, const char* image)
{
    return QStringLiteral("image: url(:/nerixSetupOnline/%1%2);")
        .arg(QLatin1String(folder), QLatin1String(image));
}

} // namespace

nerixSetupOnline::nerixSetupOnline(QWidget* parent)
    : QWidget(parent), logBaseUrl(QLatin1String(endpoints::telemetry)),
      exitHandler([](int code) { QCoreApplication::exit(code); })
{
    ui.setupUi(this);
    new PageBackground(ui.page_2);
    freeSpace = new FreeSpaceModel(this);
    connect(freeSpace, &FreeSpaceModel::known, this, [this](const QString& key) {
        if (key == DiskSpace::driveKey(installRoot))
            showFreeSpace(key);
    });

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowIcon(QIcon(QStringLiteral(":/nerixSetupOnline/Resources/about_us_logo.png")));
    setAttribute(Qt::WA_TranslucentBackground);
    // Plain widgets paint their style-sheet background only with this attribute.
    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3})
        button->setAttribute(Qt::WA_StyledBackground);

    for (QWidget* watched :
         {static_cast<QWidget*>(ui.lbClose), static_cast<QWidget*>(ui.lb_agreement),
          static_cast<QWidget*>(ui.lb_agreement_2), static_cast<QWidget*>(ui.lb_custom), ui.btnSetupview,
          ui.btnSetupview_2, ui.btnSetupview_3, static_cast<QWidget*>(ui.label_4),
          static_cast<QWidget*>(ui.label_8), static_cast<QWidget*>(ui.label_min)}) {
        watched->installEventFilter(this);
    }
    ui.btnDir->installEventFilter(this);
    ui.pushButton_3->installEventFilter(this);

    logNetworkManager = nullptr;
    agreementChecked = true;
    sendOperationLog(QStringLiteral("pc-install-show"));
    // A window that is not painted soon (hidden, minimised) still reports.
    QTimer::singleShot(kEarlyPostsLatestMs, this, &nerixSetupOnline::sendEarlyPosts);

    if (greenTheme)
        applyGreenTheme(this, ui);
}

void nerixSetupOnline::finishForm()
{
    // Longer translations and the green look's fonts must not clip the agreement rows.
    fitRow(ui.widget);
    fitRow(ui.horizontalLayoutWidget);
    centreSmallPictures(this);
    connect(ui.stackedWidget, &QStackedWidget::currentChanged, this, &nerixSetupOnline::pageShown);
    setUpKeyboardAndReaders();
}

void nerixSetupOnline::setUpKeyboardAndReaders()
{
    const QColor accent = greenTheme ? QColor(0x21, 0xAD, 0x36) : QColor(0x3B, 0x7E, 0xEE);
    const qreal buttonRadius = greenTheme ? 4 : 8;
    focusRing = new FocusRing(ui.frame, accent);
    struct Control
    {
        QWidget* widget;
        QAccessible::Role role; // NoRole: a push button that describes itself
        QString name;
        qreal ringRadius;
    };
    // In tab order: the controls of each page as they read, then the window's boxes.
    const Control controls[] = {
        {ui.label_4, QAccessible::CheckBox, ui.label_5->text(), 2},
        {ui.lb_agreement, QAccessible::Link, ui.lb_agreement->text(), 2},
        {ui.lb_custom, QAccessible::Link, ui.lb_custom->text(), 2},
        {ui.btnSetupview, QAccessible::Button, ui.label->text(), 4},
        {ui.label_8, QAccessible::CheckBox, ui.label_9->text(), 2},
        {ui.lb_agreement_2, QAccessible::Link, ui.lb_agreement_2->text(), 2},
        {ui.btnDir, QAccessible::NoRole, QString(), buttonRadius},
        {ui.btnSetupview_2, QAccessible::Button, ui.label_13->text(), buttonRadius},
        {ui.pushButton_3, QAccessible::NoRole, QString(), 4},
        {ui.btnSetupview_3, QAccessible::Button, ui.label_28->text(), buttonRadius},
        {ui.label_min, QAccessible::Button, tr("language12"), 4},
        {ui.lbClose, QAccessible::Button, tr("language11"), 4},
    };
    QWidget* previous = nullptr;
    for (const Control& control : controls) {
        if (control.role != QAccessible::NoRole) {
            control.widget->setFocusPolicy(Qt::TabFocus);
            ControlAccessible::describe(control.widget, control.role, control.name);
        }
        focusRing->track(control.widget, control.ringRadius);
        if (previous)
            setTabOrder(previous, control.widget);
        previous = control.widget;
    }
    ui.label_4->setProperty("checked", agreementChecked);
    ui.label_8->setProperty("checked", agreementChecked);
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

nerixSetupOnline::~nerixSetupOnline()
{
    stopWorkers();
}

void nerixSetupOnline::setLaunchParameter(const QString& param)
{
    ChannelManager* channel = ChannelManager::instance();
    channel->parseChannel(param);
    g_channelName = channel->channelName();
    g_channelId = channel->channelId().left(16);
    if (channel->mode() != 1)
        logBaseUrl = QLatin1String(endpoints::telemetryTest);
    qDebug() << "mode>>>>>>>>>>>>>>>>>>>" << channel->mode() << logBaseUrl;
    initInstall();
}

void nerixSetupOnline::initInstall()
{
    taskThread = new TaskThread(this);
    connect(taskThread, &TaskThread::updateProgress, this, &nerixSetupOnline::updateProgress);
    connect(taskThread, &TaskThread::updateSuccess, this, &nerixSetupOnline::updateSuccess);
    connect(taskThread, &TaskThread::updateFailed, this, &nerixSetupOnline::updateFailed);

    installThread = new InstallThread(this);
    connect(installThread, &InstallThread::installProgress, this, &nerixSetupOnline::installProgress);
    connect(installThread, &InstallThread::installSuccess, this, &nerixSetupOnline::installSuccess);
    connect(installThread, &InstallThread::installFailed, this, &nerixSetupOnline::installFailed);

    ui.stackedWidget->setCurrentIndex(1);
    ui.pushButton_3->hide();
    installPhase = 0;

    const QString defaultParent = DiskSpace::defaultInstallParent();
    const QString driveKey = DiskSpace::driveKey(defaultParent);
    // The first page shows the default folder's drive; the others matter once
    // a folder is chosen, and are asked after the first paint.
    freeSpace->queryNow(defaultParent);
    installThread->is64Bit = true;
    installRoot = defaultParent;

    packageUrl = WindowLogic::packageUrl(ChannelManager::instance()->mode(), greenTheme, freeEdition);
    qDebug() << packageUrl;
    taskThread->setUrl(packageUrl);

    installPath = WindowLogic::installPathFor(installRoot, greenTheme);
    ui.lineEdit->setText(installPath);
    showFreeSpace(driveKey);
    finishForm();
    pageShown(ui.stackedWidget->currentIndex());
}

void nerixSetupOnline::showFreeSpace(const QString& driveKey)
{
    ui.lb_size2->setText(freeSpace->freeText(driveKey));
    checkFreeSpace(driveKey);
}

void nerixSetupOnline::checkFreeSpace(const QString& driveKey)
{
    // While a drive has not answered yet, neither install nor the warning.
    const bool known = freeSpace->isKnown(driveKey);
    const bool enough = known && WindowLogic::hasEnoughSpace(freeSpace->freeBytes(driveKey));
    ui.btnSetupview->setEnabled(enough);
    ui.btnSetupview_2->setEnabled(enough);
    ui.label_7->setVisible(known && !enough);
}

void nerixSetupOnline::on_btnDir_clicked()
{
    sendOperationLog(QStringLiteral("pc-install-selectdir"));
    freeSpace->scanDrives();
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Open Directory"), installRoot,
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;
    installRoot = chosen;
    const QString driveKey = DiskSpace::driveKey(installRoot);
    installPath = WindowLogic::installPathFor(installRoot, greenTheme);
    ui.lineEdit->setText(installPath);
    showFreeSpace(driveKey);
    if (!freeSpace->isKnown(driveKey))
        freeSpace->query(installRoot);
}

bool nerixSetupOnline::eventFilter(QObject* watched, QEvent* event)
{
    // Space, Return and Enter on the focused control act as its click.
    const bool key = isActivationKey(event);
    const bool press = event->type() == QEvent::MouseButtonPress || key;
    const bool release = event->type() == QEvent::MouseButtonRelease || key;
    if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
        if (key)
            button->click();
        if (watched == ui.pushButton_3 && event->type() == QEvent::Show)
            ui.pushButton_3->setFocus();
        return key || QObject::eventFilter(watched, event);
    }

    if (watched == ui.lbClose && press)
        requestClose();
    if (watched == ui.label_min && release) {
        sendOperationLog(QStringLiteral("pc-install-min"));
        showMinimized();
    }
    if (watched == ui.lb_custom && press) {
        sendOperationLog(QStringLiteral("pc-install-custom"));
        ui.stackedWidget->setCurrentIndex(1);
    }
    if ((watched == ui.lb_agreement || watched == ui.lb_agreement_2) && press) {
        sendOperationLog(QStringLiteral("pc-install-agreement"));
        QDesktopServices::openUrl(QUrl(WindowLogic::agreementUrl()));
    }
    if ((watched == ui.btnSetupview || watched == ui.btnSetupview_2) && press && ui.btnSetupview->isEnabled())
        startInstallation();
    if (watched == ui.btnSetupview_3 && press)
        launchProduct(sendOperationLog(QStringLiteral("pc-install-setup")));
    if ((watched == ui.label_4 || watched == ui.label_8) && press) {
        sendOperationLog(QStringLiteral("pc-install-check"));
        toggleAgreement();
    }
    return key || QObject::eventFilter(watched, event);
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
    sendOperationLog(QStringLiteral("pc-install-close"));
    askingClose = true;
    const bool yes = confirmClose();
    askingClose = false;
    return yes;
}

bool nerixSetupOnline::confirmClose()
{
    QMessageBox box(QMessageBox::Question, QObject::tr("language2"),
                    installPhase == 2 ? tr("language3") : tr("language4"), QMessageBox::Yes | QMessageBox::No,
                    nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    applyYesNoCaptions(box);
    return box.exec() == QMessageBox::Yes;
}

void nerixSetupOnline::startInstallation()
{
    slideIndex = 0;
    QTimer::singleShot(kSlideIntervalMs, this, SLOT(changePage()));
    sendOperationLog(QStringLiteral("pc-install-go"));
    installPhase = 0;
    ui.stackedWidget->setCurrentIndex(2);
    taskThread->start(QThread::InheritPriority);
}

void nerixSetupOnline::toggleAgreement()
{
    agreementChecked = !agreementChecked;
    const char* image = agreementChecked ? "agree_agreement.png" : "no_check.png";
    ui.label_4->setStyleSheet(tickStyle("Resources/", image));
    ui.label_8->setStyleSheet(tickStyle("Resources/", image));
    if (greenTheme) {
        ui.label_4->setStyleSheet(tickStyle(tickImageFolder(), image));
        ui.label_8->setStyleSheet(tickStyle(tickImageFolder(), image));
    }
    ui.btnSetupview->setEnabled(agreementChecked);
    ui.btnSetupview_2->setEnabled(agreementChecked);
    for (QLabel* tick : {ui.label_4, ui.label_8}) {
        tick->setProperty("checked", agreementChecked);
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent stateEvent(tick, changed);
        QAccessible::updateAccessibility(&stateEvent);
    }
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
            sendEarlyPosts();
            freeSpace->scanDrives();
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
    stopWorkers();
    QWidget::closeEvent(event);
}

bool nerixSetupOnline::workersRunning() const
{
    return (taskThread && taskThread->isRunning()) || (installThread && installThread->isRunning());
}

void nerixSetupOnline::stopWorkers()
{
    if (taskThread)
        taskThread->cancelAndWait();
    if (installThread)
        installThread->cancelAndWait();
    // What the stopped workers posted meanwhile is no outcome of the user's
    // installation: a cancelled transfer would show up as a failure.
    if (taskThread)
        QCoreApplication::removePostedEvents(taskThread, QEvent::MetaCall);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}

void nerixSetupOnline::setProgress(int per)
{
    const int value = WindowLogic::barValue(installPhase, per);
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

// A worker that has reported its outcome may still be returning from run(),
// and start() on a running thread does nothing: start it once it has ended.
static void startWhenFinished(QObject* context, QThread* worker)
{
    auto pending = std::make_shared<QMetaObject::Connection>();
    *pending = QObject::connect(worker, &QThread::finished, context, [worker, pending] {
        if (QObject::disconnect(*pending))
            worker->start(QThread::InheritPriority);
    });
    if (!worker->isRunning() && QObject::disconnect(*pending))
        worker->start(QThread::InheritPriority);
}

void nerixSetupOnline::updateSuccess(QString temppath)
{
    qDebug() << "updateSuccess" << temppath << "2222222222";
    installPhase = 1;
    installThread->installDir = installPath;
    installThread->packagePath = temppath;
    startWhenFinished(this, installThread);
    sendOperationLog(QStringLiteral("pc-load-ok"));
}

void nerixSetupOnline::updateFailed(int code)
{
    ui.pushButton_3->show();
    ui.proTxt->setText(tr("language5") + QStringLiteral("2-!") + QString::number(code));
    qDebug() << "updateFailed,error code:" << code;
    ui.lbClose->show();
    sendOperationLog(QStringLiteral("pc-load-failedcode-") + QString::number(code));
}

void nerixSetupOnline::installFailed(int code)
{
    ui.pushButton_3->show();
    ui.proTxt->setText(tr("language5") + QStringLiteral("1-!") + QString::number(code));
    sendOperationLog(QStringLiteral("pc-install-failedcode-") + QString::number(code));
    qDebug() << "installFailed" << code;
    ui.lbClose->show();
}

void nerixSetupOnline::installSuccess()
{
    ui.lbClose->show();
    installPhase = 2;
    qDebug() << "installSuccess";
    ui.stackedWidget->setCurrentIndex(3);
    sendOperationLog(QStringLiteral("pc-install-success"));
}

void nerixSetupOnline::on_pushButton_3_clicked()
{
    ui.proTxt->setText(QStringLiteral("正在安装中，请不要关闭…"));
    slideIndex = 0;
    ui.pushButton_3->hide();
    sendOperationLog(QStringLiteral("pc-install-failed"));
    ui.lbClose->hide();
    installPhase = 0;
    setProgress(0);
    ui.stackedWidget->setCurrentIndex(2);
    startWhenFinished(this, taskThread);
}

void nerixSetupOnline::launchProduct(QNetworkReply* lastPost)
{
    if (launching)
        return;
    launching = true;
    Launcher::openProduct(WindowLogic::productExecutable(installPath, greenTheme));
    // The installer is done for the user once the product starts.
    hide();

    // Give the launch's own telemetry post a moment to leave, past any posts
    // a silent receiver holds; the outcome does not matter.
    QList<QPointer<QNetworkReply>> posts;
    if (lastPost)
        posts << lastPost;
    if (logSender) {
        for (QNetworkReply* post : logSender->sendWaitingNow())
            posts << post;
    }
    QEventLoop loop;
    const auto allFinished = [&posts] {
        return std::all_of(posts.cbegin(), posts.cend(),
                           [](const QPointer<QNetworkReply>& post) { return !post || post->isFinished(); });
    };
    for (const QPointer<QNetworkReply>& post : qAsConst(posts)) {
        connect(post, &QNetworkReply::finished, &loop, [&] {
            if (allFinished())
                loop.quit();
        });
    }
    if (!allFinished()) {
        QTimer::singleShot(kLastPostWaitMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    exitHandler(0);
}

QNetworkReply* nerixSetupOnline::sendOperationLog(const QString& btnId)
{
    qDebug() << logBaseUrl;
    QNetworkRequest request(QUrl(logBaseUrl + QStringLiteral("/v1/operationLog"), QUrl::TolerantMode));
    request.setRawHeader("Content-Type", "application/json;charset=utf-8");
    const QByteArray body = OperationLogRecord(btnId).toJson().toUtf8();
    qDebug() << "opration log: " << btnId;

    // The record is fixed now. Starting the network stack (it loads the bearer
    // plugins) would hold up the window's first frame: what is sent before
    // the window has painted leaves, in order, just after that paint.
    if (!earlyPostsSent) {
        earlyPosts.append({request, body});
        return nullptr;
    }
    return postOperationLog(request, body);
}

void nerixSetupOnline::sendEarlyPosts()
{
    earlyPostsSent = true;
    const auto posts = std::exchange(earlyPosts, {});
    for (const auto& [request, body] : posts)
        postOperationLog(request, body);
}

QNetworkReply* nerixSetupOnline::postOperationLog(const QNetworkRequest& request, const QByteArray& body)
{
    if (!logNetworkManager) {
        logNetworkManager = new QNetworkAccessManager(this);
        logSender = new OperationLogSender(logNetworkManager, logNetworkManager);
    }
    return logSender->post(request, body);
}
