#include "nerixSetupOnline/GreenTheme.h"

#include "BuildConfig.h"
#include "nerixSetupOnline/PageImages.h"
#include "ui_nerixSetupOnline.h"

#include <QDebug>
#include <QIcon>
#include <QLabel>

namespace {

const QString kGreenButtonStyle = QStringLiteral("QWidget{background:rgba(33, 173, 54, 1);border-radius:4px;}"
                                                 "QWidget:hover{background:#0EBE28;}"
                                                 "QWidget:disabled{background:rgba(206,206,206,1);}");

const QString kGreenDirButtonStyle =
    QStringLiteral("QPushButton{background:#21AD36;border-radius:4px;border-top-left-radius:4px;border-"
                   "bottom-left-radius:4px;"
                   "font:12px \"Microsoft YaHei\";font-weight:400;color:#FFFFFF;}"
                   "QPushButton:hover{background:#0EBE28;}"
                   "QPushButton:pressed{background:#1B9F2F;}"
                   "QPushButton:disabled{background:rgba(206,206,206,1);}");

QString linkStyle(bool underline)
{
    return QStringLiteral("font:12px \"Microsoft YaHei\";font-weight:400;color:#21AD36;") +
           (underline ? QStringLiteral("text-decoration:underline;") : QString());
}

} // namespace

const char* tickImageFolder()
{
    return greenTheme ? "Resources_green/" : "Resources/";
}

void applyGreenTheme(QWidget* window, Ui::nerixSetupOnlineClass& ui)
{
    window->setWindowIcon(QIcon(QStringLiteral(":/nerixSetupOnline/Resources_green/about_us_logo.png")));
    ui.label_2->resize(110, 76);
    ui.label_17->resize(110, 76);

    for (QWidget* button : {ui.btnSetupview, ui.btnSetupview_2, ui.btnSetupview_3}) {
        // Scoped to the button itself so its caption labels stay transparent.
        button->setStyleSheet(
            QString(kGreenButtonStyle)
                .replace(QStringLiteral("QWidget"), QLatin1Char('#') + button->objectName()));
    }
    ui.btnDir->setStyleSheet(kGreenDirButtonStyle);
    ui.lb_agreement->setStyleSheet(linkStyle(true));
    ui.lb_agreement_2->setStyleSheet(linkStyle(true));
    ui.lb_size1->setStyleSheet(linkStyle(false));
    ui.lb_size2->setStyleSheet(linkStyle(false));

    ui.label_3->setText(QCoreApplication::translate("nerixSetupOnline", "language6"));
    ui.label_16->setText(QCoreApplication::translate("nerixSetupOnline", "language6"));
    ui.label_30->setText(QStringLiteral("Quorbel"));

    // The pictures of pages not shown yet wait in a property (PageImages) and
    // change with the style sheets.
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        const QVariant later = label->property(PageImages::property);
        const QString oldStyle = later.isValid() ? later.toString() : label->styleSheet();
        if (!oldStyle.contains(QLatin1String("Resources/")))
            continue;
        QString newStyle = oldStyle;
        newStyle.replace(QStringLiteral("Resources/"), QStringLiteral("Resources_green/"));
        qDebug() << oldStyle << "old";
        qDebug() << newStyle << "new";
        if (later.isValid())
            label->setProperty(PageImages::property, newStyle);
        else
            label->setStyleSheet(newStyle);
    }
}
