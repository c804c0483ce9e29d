#include "QBSelectInput.h"

#include <QMouseEvent>

#include "WidgetLook.h"
#include "core/Mode.h"
#include "core/Singleton.h"

QBSelectInput::QBSelectInput(QWidget* parent) : QPushButton(parent) {
    setFixedSize(50, 50);
    Singleton::instance()->instanceMode()->setInputText(m_inputText);
    updateIcon();
}

void QBSelectInput::toggleState() {
    // Every second step shows both inputs.
    struct Step {
        qint32 state;
        ModelInput::EnumInput input;
    };
    static constexpr Step next[4] = {{1, ModelInput::TEXT_A_B},
                                     {2, ModelInput::TEXT_B},
                                     {3, ModelInput::TEXT_A_B},
                                     {0, ModelInput::TEXT_A}};
    const Step& step = next[m_state % 4];
    m_state = step.state;
    m_inputText = step.input;
    emit s_toogle_value(m_inputText);
    Singleton::instance()->instanceMode()->setInputText(m_inputText);
    updateIcon();
}

void QBSelectInput::refreshState() {
    emit s_toogle_value(m_inputText);
    updateIcon();
}

void QBSelectInput::setControlEnabled(bool on) {
    setEnabled(on);
    updateIcon();
}

void QBSelectInput::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QPushButton::mousePressEvent(event);
    if (isEnabled())
        toggleState();
}

void QBSelectInput::updateIcon() {
    QString picture = QStringLiteral("switch_b_text.png");
    if (m_state == 0)
        picture = QStringLiteral("switch_a_text.png");
    else if (m_state == 1 || m_state == 3)
        picture = QStringLiteral("switch_a_b_text.png");
    WidgetLook::showPicture(this, picture, QSize(50, 50));
}
