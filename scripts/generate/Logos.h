#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The application's own images: its mark (a record drawn as the letter Q) and its name.
struct Logo {
    QString name;
    QImage (*make)();
};

QList<Logo> logos();
