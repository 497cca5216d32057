#include "core/Translator.h"

#include <QCoreApplication>
#include <QTextCodec>
#include <QTranslator>

QString translationFileFor(QLocale::Language language)
{
    return language == QLocale::English
               ? QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_en.qm")
               : QStringLiteral(":/nerixSetupOnline/language/nerixsetuponline_zh.qm");
}

void loadTranslator()
{
    // Windows has a "System" codec for the ANSI code page; elsewhere the
    // default locale codec (UTF-8) stays.
    if (QTextCodec* system = QTextCodec::codecForName("System"))
        QTextCodec::setCodecForLocale(system);

    // Lives until the process ends.
    auto* translator = new QTranslator;
    translator->load(translationFileFor(QLocale().language()));
    QCoreApplication::installTranslator(translator);
}
