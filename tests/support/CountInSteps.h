#pragma once

#include <functional>

class CountIn;
class QObject;

// Follows a count-in step by step. A busy machine may run several steps in one pass of the event loop,
// so neither polling nor waiting keeps to the beats; a hook on the steps' own timers does.
namespace CountInSteps {

// Runs `action` right after the steps pending at `delayMs` from their scheduling (at every pending
// delay: -1), in the same pass of the event loop. The hooks go when `context` goes.
void after(CountIn* countIn, int delayMs, QObject* context, const std::function<void()>& action);

} // namespace CountInSteps
