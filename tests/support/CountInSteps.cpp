#include "CountInSteps.h"

#include <QTimer>

#include "gui/CountIn.h"

void CountInSteps::after(CountIn* countIn, int delayMs, QObject* context,
                         const std::function<void()>& action) {
    // Connected after the count-in's own receiver, so the steps have run when `action` comes.
    for (QTimer* timer : countIn->findChildren<QTimer*>())
        if (timer->isActive() && (delayMs < 0 || timer->interval() == delayMs))
            QObject::connect(timer, &QTimer::timeout, context, action);
}
