#pragma once

#include <QLocale>
#include <QString>

// Installs the Chinese or English catalogue for the whole process.
void loadTranslator();

// English locale gets English; every other language gets Chinese.
QString translationFileFor(QLocale::Language language);
