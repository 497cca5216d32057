#include "nerixSetupOnline/LocationPage.h"

#include "BuildConfig.h"
#include "nerixSetupOnline/FreeSpaceModel.h"
#include "nerixSetupOnline/GreenTheme.h"
#include "nerixSetupOnline/WindowLogic.h"
#include "platform/DiskSpace.h"
#include "telemetry/OperationLog.h"
#include "ui_nerixSetupOnline.h"

#include <QAccessible>
#include <QFileDialog>

namespace {

// Longer translations and the green look's fonts must not clip the agreement rows.
void fitRow(QWidget* row)
{
    row->ensurePolished(); // the style sheets' fonts decide the width
    row->layout()->invalidate();
    row->resize(qMax(row->width(), row->layout()->sizeHint().width()), row->height());
}

} // namespace

LocationPage::LocationPage(Ui::nerixSetupOnlineClass& form, OperationLog* log, QWidget* window)
    : QObject(window), ui(form), m_log(log), m_window(window), m_freeSpace(new FreeSpaceModel(this))
{
    connect(m_freeSpace, &FreeSpaceModel::known, this, [this](const QString& key) {
        if (key == DiskSpace::driveKey(m_installRoot))
            showFreeSpace();
    });
}

void LocationPage::showDefaultFolder()
{
    // The others matter once a folder is chosen, and are asked after the first paint.
    m_installRoot = DiskSpace::defaultInstallParent();
    m_freeSpace->queryNow(m_installRoot);
    showFreeSpace();
    fitRow(ui.widget);
    fitRow(ui.horizontalLayoutWidget);
    ui.label_4->setProperty("checked", m_agreed);
    ui.label_8->setProperty("checked", m_agreed);
}

void LocationPage::scanDrives()
{
    m_freeSpace->scanDrives();
}

void LocationPage::chooseFolder()
{
    m_log->send(QStringLiteral("pc-install-selectdir"));
    m_freeSpace->scanDrives();
    const QString chosen =
        QFileDialog::getExistingDirectory(m_window, QStringLiteral("Open Directory"), m_installRoot,
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;
    m_installRoot = chosen;
    showFreeSpace();
    if (!m_freeSpace->isKnown(DiskSpace::driveKey(m_installRoot)))
        m_freeSpace->query(m_installRoot);
}

void LocationPage::showFreeSpace()
{
    m_installPath = WindowLogic::installPathFor(m_installRoot, greenTheme);
    ui.lineEdit->setText(m_installPath);
    ui.lb_size2->setText(m_freeSpace->freeText(DiskSpace::driveKey(m_installRoot)));
    updateInstallButtons();
}

void LocationPage::updateInstallButtons()
{
    const QString key = DiskSpace::driveKey(m_installRoot);
    const bool known = m_freeSpace->isKnown(key);
    const bool enabled = WindowLogic::installAllowed(m_agreed, known, m_freeSpace->freeBytes(key));
    ui.btnSetupview->setEnabled(enabled);
    ui.btnSetupview_2->setEnabled(enabled);
    // While a drive has not answered yet, no warning either.
    ui.label_7->setVisible(known && !WindowLogic::hasEnoughSpace(m_freeSpace->freeBytes(key)));
}

void LocationPage::toggleAgreement()
{
    m_agreed = !m_agreed;
    const QString style = QStringLiteral("image: url(:/nerixSetupOnline/%1%2);")
                              .arg(QLatin1String(tickImageFolder()),
                                   QLatin1String(m_agreed ? "agree_agreement.png" : "no_check.png"));
    for (QLabel* tick : {ui.label_4, ui.label_8}) {
        tick->setStyleSheet(style);
        tick->setProperty("checked", m_agreed);
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent stateEvent(tick, changed);
        QAccessible::updateAccessibility(&stateEvent);
    }
    updateInstallButtons();
}
