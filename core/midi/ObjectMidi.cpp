#include "ObjectMidi.h"

#include <QTime>

ObjectMidi::ObjectMidi(int channel, int controller, ModelMode::EnumMode mode)
    : m_channel(channel), m_controller(controller), m_mode(mode) {
    const QTime now = QTime::currentTime();
    m_time = now.isValid() ? now.msecsSinceStartOfDay() : 0;
}

void ObjectMidi::setCrossLeftRight(int left, int right) {
    m_crossLeft = left;
    m_crossRight = right;
}

ModelCrossFader::EnumCrossFader ObjectMidi::status() const {
    if (m_value >= m_crossRight)
        return ModelCrossFader::RIGHT;
    if (m_value > m_crossLeft)
        return ModelCrossFader::MIDDLE;
    return ModelCrossFader::LEFT;
}
