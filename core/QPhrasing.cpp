#include "QPhrasing.h"

QPhrasing::QPhrasing(const QString& label, Constant::Color::Rgba color, double angleStart, double angleEnd)
    : m_label(label), m_color(color), m_angleStart(angleStart), m_angleEnd(angleEnd),
      m_id(QUuid::createUuid()) {}
