#pragma once

#include <QString>
#include <QUuid>

#include "Constant.h"

// One coloured area of the platter: the half-open arc [angleStart, angleEnd) in degrees.
// A plain value: a copy keeps the id, so a copied area still stands for the same area.
class QPhrasing {
public:
    // Makes a new random id.
    QPhrasing(const QString& label, Constant::Color::Rgba color, double angleStart, double angleEnd);

    const QString& label() const { return m_label; }
    Constant::Color::Rgba color() const { return m_color; }
    double angleStart() const { return m_angleStart; }
    double angleEnd() const { return m_angleEnd; }
    const QUuid& id() const { return m_id; }
    double spanAngle() const { return m_angleEnd - m_angleStart; }
    // Start included, end excluded.
    bool holds(double angle) const { return m_angleStart <= angle && angle < m_angleEnd; }

    void setLabel(const QString& label) { m_label = label; }
    void setColor(Constant::Color::Rgba color) { m_color = color; }
    void setAngleStart(double angle) { m_angleStart = angle; }
    void setAngleEnd(double angle) { m_angleEnd = angle; }

private:
    QString m_label;
    Constant::Color::Rgba m_color;
    double m_angleStart;
    double m_angleEnd;
    QUuid m_id;
};
